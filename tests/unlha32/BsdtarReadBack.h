#pragma once
// An independent decoder for the encoder suites: bsdtar (libarchive), strict
// where lhasa lets a malformed stream pass.
#include "lzh/Crc16.h"
#include "lzh/LzhHeader.h"
#include "support/HostFiles.h"

#include <QProcess>
#include <QTemporaryDir>

#include <string>

// What bsdtar prints of an archive holding the stream as its one member (it refuses a last
// block in the final bytes, and streams under 8 bytes, which the library stores instead).
inline QByteArray ReadBack(const std::string& packed, int method, const std::string& data) {
    unlha::CMemberInfo info;
    info.strMethod = "-lh" + std::to_string(method) + "-";
    info.strName = "data.bin";
    info.nPacked = static_cast<uint32_t>(packed.size());
    info.nOriginal = static_cast<uint32_t>(data.size());
    info.nCrc = unlha::Crc16(data.data(), data.size());
    QTemporaryDir dir;
    QProcess reader;
    if (WriteHostFile(dir.filePath("a.lzh"),
                      QByteArray::fromStdString(unlha::BuildLevel2Header(info) + packed + '\0')))
        reader.start("bsdtar", {"-xOf", dir.filePath("a.lzh")});
    return reader.waitForFinished(60000) ? reader.readAllStandardOutput() : "(bsdtar did not run)";
}
