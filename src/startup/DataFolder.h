// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where the tables live. Folder texts handed out here end in '/', as the table components expect;
// every function is plain logic so that start-up can be tested without a window.
class DataFolder {
public:
    // The three mutually exclusive choices of the admin dialog, as stored.
    struct Choice {
        bool userFolder = true;      // UserFolderCheck
        bool programFolder = false;  // ProgramFolderCheck
        bool specialFolder = false;  // UseSpecialFolderCheck
        QString directoryText;       // DirectoryEdit1, as typed or picked
    };

    struct Decision {
        QString folder;                     // absolute, ending in '/'
        bool switchedToUserFolder = false;  // the program folder failed the write test: store the new choice
    };

    // Folder of the running executable, ending in '/'.
    static QString programFolder();

    // The per-user folder: the platform's per-user application-data folder + "ZAN-TOR/Quorvel/" (on
    // Windows below the roaming AppData folder). With `create` the folder is made with its parents; a
    // failure is ignored here, it shows when the tables cannot be created. When the platform names no
    // such folder, `fallback` is returned unchanged.
    static QString GetProgramDir(bool create, const QString& fallback);

    // Creates "test.dat" in `folder`, closes and deletes it (a failing delete is ignored). False when
    // the file cannot be created.
    static bool writeTest(const QString& folder);

    // Appends '/' to a non-empty text that does not end in a separator.
    static QString withTrailingSeparator(const QString& text);

    // The chosen folder text as the table layer takes it: relative texts (the empty one included) are
    // taken relative to the program folder; blanks around the text are dropped and a leading "~" is
    // the home folder. The result is absolute and ends in '/'.
    static QString resolve(const QString& text);

    // The start-up decision: the write test in the program folder when that is chosen (falling back to
    // the per-user folder), then the folder of the choice. The per-user folder is created.
    static Decision decide(const Choice& choice);
};
