// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <stdexcept>

// Root of every error the program raises itself. The message is the text the user reads in the
// error box, so it is kept as a QString (the std::runtime_error text is its UTF-8 form).
class QuorvelError : public std::runtime_error {
public:
    explicit QuorvelError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
};

// Errors of the table layer. The English texts of the dataset interface are kept where callers and
// users know them ("Dataset not in edit or insert mode", ...); our own additions speak German.
class StorageError : public QuorvelError {
public:
    using QuorvelError::QuorvelError;
};

// Open() on a file that does not exist. The caller may create the table then.
class FileMissingError : public StorageError {
public:
    using StorageError::StorageError;
};

// A file that exists but cannot be used: unreadable, truncated, a header that contradicts itself.
// Such a file is never replaced; the message names the file.
class DamagedTableError : public StorageError {
public:
    using StorageError::StorageError;
};

// An operation in the wrong table state (closed table, post with nothing pending, ...).
class TableStateError : public StorageError {
public:
    using StorageError::StorageError;
};

// FieldByName with an unknown name: "Field '%s' not found".
class FieldNotFoundError : public StorageError {
public:
    using StorageError::StorageError;
};

// A value that cannot be converted for a field: text that is no number, a number too wide for its
// field. Raised before anything is written.
class ConversionError : public StorageError {
public:
    using StorageError::StorageError;
};

// A read, write, seek or rename of a table file that failed.
class FileIoError : public StorageError {
public:
    using StorageError::StorageError;
};

// A change a witness of the table refused by a rule of the books (a booking in a closed period), not by a
// fault of the file: nothing was written and the table goes on as before. Work over many records (an
// import) names such a record and carries on with the next.
class ChangeRefusedError : public StorageError {
public:
    using StorageError::StorageError;
};
