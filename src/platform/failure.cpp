#include "platform/failure.h"

#include "platform/words.h"

#include <QStringList>

namespace tarvel {

Failure::Failure(QString action, QString path, QString reason, Kind kind)
    : action_(std::move(action))
    , path_(std::move(path))
    , reason_(std::move(reason))
    , kind_(kind)
    , utf8_(message().toStdString())
{
}

Failure::Failure(QString action, QString path, Place place, QString reason, Kind kind)
    : action_(std::move(action))
    , path_(std::move(path))
    , reason_(std::move(reason))
    , kind_(kind)
    , record_(place.record)
    , offset_(place.offset)
    , utf8_(message().toStdString())
{
}

QString Failure::message() const
{
    QStringList parts{action_};
    if (!path_.isEmpty())
        parts << path_;
    if (record_ && offset_)
        parts << Words::tr("record %1 at byte %2").arg(*record_).arg(*offset_);
    else if (record_)
        parts << Words::tr("record %1").arg(*record_);
    parts << reason_;
    return parts.join(u": "_qs);
}

} // namespace tarvel
