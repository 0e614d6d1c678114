#pragma once

#include <QMetaEnum>
#include <QString>

namespace Helper {

// Value of the enumerator named `key` in the registered enumeration E, or -1.
template<typename E> int strToEnum(const QString& key)
{
    if (key.isEmpty())
        return -1;
    bool ok = false;
    const int value = QMetaEnum::fromType<E>().keyToValue(key.toLocal8Bit().constData(), &ok);
    return ok ? value : -1;
}

// Name of the enumerator with `value` in E, or an empty text.
template<typename E> QString enumToStr(E value)
{
    return QString::fromLatin1(QMetaEnum::fromType<E>().valueToKey(static_cast<int>(value)));
}

} // namespace Helper
