#include "recordschema.h"

#include <QStringList>

namespace tovin {
namespace {

QString columnType(RecordFieldType type)
{
    switch (type) {
    case RecordFieldType::Counter:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case RecordFieldType::Text:
        return QStringLiteral("TEXT NOT NULL");
    case RecordFieldType::Int32:
        return QStringLiteral("INTEGER NOT NULL");
    case RecordFieldType::Int16:
        return QStringLiteral("SMALLINT NOT NULL");
    case RecordFieldType::YesNo:
        return QStringLiteral("BOOLEAN NOT NULL");
    }
    return {};
}

} // namespace

QString recordTableDefinition()
{
    QStringList columns;
    for (const RecordField &field : kRecordFields)
        columns << QStringLiteral("%1 %2").arg(QLatin1String(field.name), columnType(field.type));
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(QLatin1String(kRecordTable), columns.join(QStringLiteral(", ")));
}

} // namespace tovin
