// Adding Lumeridge to the user's XScreenSaver list. XScreenSaver runs the
// hacks of the "programs" setting in ~/.xscreensaver, a file no package may
// edit: `lumeridge --add-to-xscreensaver` does it for the user.
#pragma once

#include <string>

// The programs-list line for the executable at `executable`: the bare name
// when it lies in XScreenSaver's own hack folder (on the daemon's PATH),
// else the absolute path; GL visual, --root.
std::string lumeridgeEntry(const std::string& executable);

struct ListEdit {
    enum class Outcome { Added, AlreadyListed, NotUnderstood };
    Outcome outcome = Outcome::NotUnderstood;
    std::string text;    // Added: the whole new file
    std::string reason;  // NotUnderstood: why, one line
};

// `fileText` is ~/.xscreensaver. The entry goes right below the
// "programs:" line; every other line stays byte for byte. A programs list
// that already runs a command named lumeridge (enabled or not) is left
// alone. Without a programs setting one is added at the end.
ListEdit addToPrograms(const std::string& fileText, const std::string& entry);

// A new ~/.xscreensaver: the entry followed by the programs list of the
// system defaults (XScreenSaver's app-defaults file, its "*programs" setting).
std::string newListFromDefaults(const std::string& defaultsText, const std::string& entry);

// Does it for $HOME/.xscreensaver (a symbolic link is followed): creates it
// from the system defaults when there is none; otherwise writes the edited
// file atomically (a new file renamed over the old) after keeping the old
// one as .xscreensaver.bak. Reports on stdout, or on stderr why the file was
// left untouched. Returns the exit code: 0 added or already listed, 1 not.
int addToXScreenSaverList(const char* executable);
