#include "testsupport/object_names.h"

#include <QHash>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

void countNames(const QObject *parent, QHash<QString, int> &counts)
{
    for (const QObject *child : parent->children()) {
        if (child->isWidgetType() && static_cast<const QWidget *>(child)->isWindow())
            continue;
        const QString name = child->objectName();
        if (!name.isEmpty() && !name.startsWith(u"qt_"_s))
            ++counts[name];
        countNames(child, counts);
    }
}

} // namespace

QStringList duplicatedObjectNames(const QWidget *root, const QStringList &controlArrays)
{
    QHash<QString, int> counts;
    countNames(root, counts);
    QStringList duplicated;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > 1 && !controlArrays.contains(it.key()))
            duplicated.append(it.key());
    }
    duplicated.sort();
    return duplicated;
}

} // namespace zorvane
