// Writes a program file so that a failure never leaves a half-written or lost file behind.
#pragma once

#include <QByteArray>
#include <QString>

namespace quillane {

struct SaveResult {
    bool Ok = false;
    QString Error;  // the reason, in the system's words, when !Ok
};

// Replaces `path` with `bytes` atomically: the old file stays intact until the new one is
// complete.
SaveResult SaveFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace quillane
