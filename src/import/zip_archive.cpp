#include "import/zip_archive.h"

#include "import/bank_import.h"

#include <QBuffer>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

namespace importer {

ZipArchive::ZipArchive(const QByteArray& bytes, const QString& shownName)
    : ZipArchive(bytes, shownName, Limits{}) {}

ZipArchive::ZipArchive(const QByteArray& bytes, const QString& shownName, const Limits& limits)
    : bytes_(bytes)
    , shownName_(shownName)
    , limits_(limits)
    , buffer_(std::make_unique<QBuffer>(&bytes_))
    , zip_(std::make_unique<QuaZip>(buffer_.get())) {
    if (!zip_->open(QuaZip::mdUnzip))
        throw ImportError(
            QStringLiteral("“%1”不是有效的 Office 文件（无法按压缩包读取）。").arg(shownName_));
    if (zip_->getEntriesCount() > limits_.entries)
        throw ImportError(QStringLiteral("“%1”中的文件过多（%2 个），不像是题库文件，未读取。")
                              .arg(shownName_)
                              .arg(zip_->getEntriesCount()));
}

ZipArchive::~ZipArchive() {
    zip_->close();
}

bool ZipArchive::contains(const QString& entry) const {
    return zip_->setCurrentFile(entry);
}

QByteArray ZipArchive::read(const QString& entry) {
    const auto refuse = [&](const QString& why) {
        throw ImportError(QStringLiteral("“%1”中的“%2”%3，未读取。").arg(shownName_, entry, why));
    };
    if (!zip_->setCurrentFile(entry))
        refuse(QStringLiteral("不存在"));
    QuaZipFile file(zip_.get());
    if (!file.open(QIODevice::ReadOnly))
        refuse(QStringLiteral("无法解压"));
    const qint64 packed = std::max<qint64>(file.csize(), 1);
    QByteArray content;
    char block[64 * 1024];
    while (true) {
        const qint64 got = file.read(block, sizeof block);
        if (got < 0)
            refuse(QStringLiteral("已损坏"));
        if (got == 0)
            break;
        content.append(block, got);
        bytesRead_ += got;
        if (content.size() > limits_.entryBytes || bytesRead_ > limits_.totalBytes)
            refuse(QStringLiteral("解压后过大"));
        if (content.size() > 1024 * 1024 && content.size() / packed > limits_.ratio)
            refuse(QStringLiteral("压缩比异常（可能是压缩炸弹）"));
    }
    file.close();
    if (file.getZipError() != UNZ_OK)
        refuse(QStringLiteral("已损坏（校验失败）"));
    return content;
}

} // namespace importer
