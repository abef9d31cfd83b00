// SPDX-License-Identifier: GPL-3.0-or-later
//
// A file system in memory for the tests: files are byte arrays by name, and the next
// operation can be made to fail with a chosen file error.
#pragma once

#include "files/file_system.h"

#include <map>
#include <optional>

namespace phbuffer::test {

class MemoryFileSystem : public files::FileSystem {
public:
    std::map<QString, QByteArray> Files;
    /// Thrown, once, by the next Read or Replace that gets past the name checks.
    std::optional<files::FileError> NextFailure;

protected:
    QByteArray readFile(const QString& path, qint64 maxBytes) override {
        FailIfAsked();
        const auto found = Files.find(path);
        if (found == Files.end())
            throw files::FileError(files::FileErrorKind::FileNotFound);
        return found->second.left(static_cast<qsizetype>(maxBytes));
    }
    void replaceFile(const QString& path, const QByteArray& bytes) override {
        FailIfAsked();
        Files[path] = bytes;
    }

private:
    void FailIfAsked() {
        if (NextFailure) {
            const files::FileError failure = *NextFailure;
            NextFailure.reset();
            throw failure;
        }
    }
};

} // namespace phbuffer::test
