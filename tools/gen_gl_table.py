#!/usr/bin/env python3
"""Generates the OpenGL entry-point table of gfx/.

Reads the Khronos core-profile header (GL/glcorearb.h) and writes:

  gfx/gl_functions.inc      LUMERIDGE_GL_ENTRY(glName, PFNGLNAMEPROC), load order
  gfx/gl_aliases.inc        #define glName lumeridge_glName
  gfx/gl_entry_versions.inc LUMERIDGE_GL_VERSION(glName, major, minor); 0, 0 for
                            the extension entries

Load order: every command of the GL_VERSION_1_0 ... GL_VERSION_4_5 blocks in
header order (653), then the 47 extension commands listed below (700 in all).
Every pointer type used must also be declared by the MinGW-w64 copy of the
header, because the Windows build compiles the same table.

Usage: tools/gen_gl_table.py [--header PATH] [--mingw-header PATH] [--out DIR]
"""

import argparse
import os
import re
import sys

CORE_COUNT = 653

EXTENSIONS = [
    "glGetTextureHandleARB", "glGetTextureSamplerHandleARB",
    "glMakeTextureHandleResidentARB", "glMakeTextureHandleNonResidentARB",
    "glGetImageHandleARB", "glMakeImageHandleResidentARB",
    "glMakeImageHandleNonResidentARB", "glUniformHandleui64ARB",
    "glUniformHandleui64vARB", "glProgramUniformHandleui64ARB",
    "glProgramUniformHandleui64vARB", "glIsTextureHandleResidentARB",
    "glIsImageHandleResidentARB", "glVertexAttribL1ui64ARB",
    "glVertexAttribL1ui64vARB", "glGetVertexAttribLui64vARB",
    "glCreateSyncFromCLeventARB", "glDispatchComputeGroupSizeARB",
    "glDebugMessageControlARB", "glDebugMessageInsertARB",
    "glDebugMessageCallbackARB", "glGetDebugMessageLogARB",
    "glBlendEquationiARB", "glBlendEquationSeparateiARB", "glBlendFunciARB",
    "glBlendFuncSeparateiARB", "glMultiDrawArraysIndirectCountARB",
    "glMultiDrawElementsIndirectCountARB", "glGetGraphicsResetStatusARB",
    "glGetnTexImageARB", "glReadnPixelsARB", "glGetnCompressedTexImageARB",
    "glGetnUniformfvARB", "glGetnUniformivARB", "glGetnUniformuivARB",
    "glGetnUniformdvARB", "glMinSampleShadingARB", "glNamedStringARB",
    "glDeleteNamedStringARB", "glCompileShaderIncludeARB",
    "glIsNamedStringARB", "glGetNamedStringARB", "glGetNamedStringivARB",
    "glBufferPageCommitmentARB", "glNamedBufferPageCommitmentEXT",
    "glNamedBufferPageCommitmentARB", "glTexPageCommitmentARB",
]
EXTENSION_COUNT = 47

CORE_VERSIONS = ["1_0", "1_1", "1_2", "1_3", "1_4", "1_5", "2_0", "2_1",
                 "3_0", "3_1", "3_2", "3_3", "4_0", "4_1", "4_2", "4_3",
                 "4_4", "4_5"]

COMMAND = re.compile(r"^GLAPI\b.*?\bAPIENTRY\s+(gl\w+)\s*\(")
BLOCK_START = re.compile(r"^#ifndef (GL_\w+)\s*$")


def commands_by_block(text):
    """Maps each '#ifndef GL_xxx' block name to its commands, in order."""
    blocks = {}
    current = None
    for line in text.splitlines():
        m = BLOCK_START.match(line)
        if m:
            current = m.group(1)
            blocks.setdefault(current, [])
            continue
        m = COMMAND.match(line)
        if m and current is not None:
            blocks[current].append(m.group(1))
    return blocks


def pfn_type(name):
    return "PFN" + name.upper() + "PROC"


def build_table(text):
    blocks = commands_by_block(text)
    entries = []  # (name, major, minor)
    for v in CORE_VERSIONS:
        major, minor = (int(x) for x in v.split("_"))
        for name in blocks.get("GL_VERSION_" + v, []):
            entries.append((name, major, minor))
    if len(entries) != CORE_COUNT:
        sys.exit("expected %d core commands, the header has %d" % (CORE_COUNT, len(entries)))
    if len(EXTENSIONS) != EXTENSION_COUNT:
        sys.exit("expected %d extension commands, the list has %d" % (EXTENSION_COUNT, len(EXTENSIONS)))
    declared = set(n for names in blocks.values() for n in names)
    for name in EXTENSIONS:
        if name not in declared:
            sys.exit("extension command %s is not declared by the header" % name)
        entries.append((name, 0, 0))
    names = [e[0] for e in entries]
    if len(names) != CORE_COUNT + EXTENSION_COUNT:
        sys.exit("table size %d" % len(names))
    if len(set(names)) != len(names):
        dup = sorted(n for n in set(names) if names.count(n) > 1)
        sys.exit("duplicate names: " + ", ".join(dup))
    if names[0] != "glCullFace" or names[CORE_COUNT - 1] != "glTextureBarrier":
        sys.exit("unexpected first/last core command: %s, %s" % (names[0], names[CORE_COUNT - 1]))
    return entries


def check_types(entries, header_text, label):
    missing = [pfn_type(n) for n, _, _ in entries
               if not re.search(r"\b" + pfn_type(n) + r"\b", header_text)]
    if missing:
        sys.exit("%s lacks pointer types: %s" % (label, ", ".join(missing)))


def write(path, lines):
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--header", default="/usr/include/GL/glcorearb.h")
    ap.add_argument("--mingw-header", default="/usr/x86_64-w64-mingw32/include/GL/glcorearb.h")
    ap.add_argument("--out", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "gfx"))
    args = ap.parse_args()

    with open(args.header) as f:
        text = f.read()
    entries = build_table(text)
    check_types(entries, text, args.header)
    if os.path.exists(args.mingw_header):
        with open(args.mingw_header) as f:
            check_types(entries, f.read(), args.mingw_header)

    banner = "// Generated by tools/gen_gl_table.py from GL/glcorearb.h; do not edit."
    functions = [banner,
                 "// The entry-point table, in load order: %d core commands of OpenGL 1.0 to 4.5," % CORE_COUNT,
                 "// then %d extension commands." % EXTENSION_COUNT]
    aliases = [banner, "// OpenGL calls spelled glXxx go through the table pointer lumeridge_glXxx."]
    versions = [banner,
                "// The OpenGL version that made each core command part of the core; 0, 0 for",
                "// the extension commands."]
    last = None
    for name, major, minor in entries:
        group = "%d.%d" % (major, minor) if major else "extensions"
        if group != last:
            functions.append("// " + ("OpenGL " + group if major else "Extensions"))
            last = group
        functions.append("LUMERIDGE_GL_ENTRY(%s, %s)" % (name, pfn_type(name)))
        aliases.append("#define %s lumeridge_%s" % (name, name))
        versions.append("LUMERIDGE_GL_VERSION(%s, %d, %d)" % (name, major, minor))

    out = os.path.normpath(args.out)
    write(os.path.join(out, "gl_functions.inc"), functions)
    write(os.path.join(out, "gl_aliases.inc"), aliases)
    write(os.path.join(out, "gl_entry_versions.inc"), versions)
    print("wrote %d entries (%d core, %d extension) to %s" % (len(entries), CORE_COUNT, EXTENSION_COUNT, out))


if __name__ == "__main__":
    main()
