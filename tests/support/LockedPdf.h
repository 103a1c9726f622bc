#pragma once

#include "support/TempDir.h"

#include <QByteArray>
#include <QFile>

#include <fstream>
#include <string>

namespace velmora::test {

// The sample document with a password nobody has: Poppler opens it locked. Empty when the
// sample's trailer is not the one expected (the caller's ASSERT says so).
inline std::string writeLockedPdf(const TempDir& dir, const std::string& name) {
    QFile sample(VELMORA_SAMPLE_DOCUMENT);
    if (!sample.open(QIODevice::ReadOnly))
        return {};
    QByteArray locked = sample.readAll();
    const QByteArray trailer = "<< /Size 6 /Root 1 0 R";
    if (!locked.contains(trailer))
        return {};
    locked.replace(trailer, trailer + " /Encrypt << /Filter /Standard /V 1 /R 2 /O <" +
                                QByteArray(64, '1') + "> /U <" + QByteArray(64, '2') +
                                "> /P -4 >> /ID [<00112233445566778899aabbccddeeff> "
                                "<00112233445566778899aabbccddeeff>]");
    std::string path = dir / name;
    std::ofstream(path, std::ios::binary).write(locked.constData(), locked.size());
    return path;
}

} // namespace velmora::test
