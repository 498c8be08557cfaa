# The Windows part of scripts/package (sourced by it).
#
# package_windows ROOT: configures and builds the windows preset's installer
# target and prints the path of LumeridgeSetup.exe.
package_windows() {
  local root=$1
  # A release installer is packed with lzma, whatever a test build chose.
  cmake --preset windows -DLUMERIDGE_SETUP_COMPRESSOR=lzma >/dev/null
  cmake --build --preset windows --target lumeridge_setup -j2
  local setup=$root/build/windows/packaging/windows/LumeridgeSetup.exe
  [[ -f $setup ]] || { echo "package: no $setup (is makensis installed? package nsis)" >&2; return 1; }
  echo "$setup ($(du -h "$setup" | cut -f1))"
}
