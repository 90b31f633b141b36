#include "ecert/affiliationzip.h"

#include "platform/failure.h"
#include "platform/words.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

namespace tarvel {

namespace {

QString zipAction()
{
    return Words::tr("writing an affiliation's ZIP of e-certificates");
}

QString libzipReason(zip_t* archive)
{
    return QString::fromLocal8Bit(zip_strerror(archive));
}

} // namespace

QString writeAffiliationZip(const QString& root, const QString& folder)
{
    const QString zipPath = root + u'/' + folder + u".zip"_qs;
    if (folder.isEmpty() || folder.contains(u'/') || folder == u"."_qs || folder == u".."_qs)
        throw Failure(zipAction(), zipPath, Words::tr("the name is not one of a folder"));
    const QFileInfo source(root + u'/' + folder);
    if (!source.isDir() || source.isSymLink())
        throw Failure(zipAction(), source.filePath(), Words::tr("there is no such folder"));
    const QFileInfoList files =
        QDir(source.filePath()).entryInfoList({u"*.pdf"_qs}, QDir::Files, QDir::Name);

    int error = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(zipPath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) {
        zip_error_t why;
        zip_error_init_with_code(&why, error);
        const QString reason = QString::fromLocal8Bit(zip_error_strerror(&why));
        zip_error_fini(&why);
        throw Failure(zipAction(), zipPath, reason);
    }
    const auto fail = [&](const QString& path) {
        const QString reason = libzipReason(archive);
        zip_discard(archive);
        throw Failure(zipAction(), path, reason);
    };
    for (const QFileInfo& file : files) {
        if (file.isSymLink())
            continue; // never taken through a link
        zip_source_t* data =
            zip_source_file(archive, QFile::encodeName(file.filePath()).constData(), 0, -1);
        if (!data)
            fail(file.filePath());
        const QByteArray name = (folder + u'/' + file.fileName()).toUtf8();
        const zip_int64_t index =
            zip_file_add(archive, name.constData(), data, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(data);
            fail(file.filePath());
        }
        if (zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0) != 0
            || zip_file_set_mtime(archive, zip_uint64_t(index),
                                  time_t(file.lastModified().toSecsSinceEpoch()), 0)
                   != 0)
            fail(file.filePath());
    }
    // The files are read, and the ZIP written and renamed into place, here.
    if (zip_close(archive) != 0)
        fail(zipPath);
    return zipPath;
}

} // namespace tarvel
