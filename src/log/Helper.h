#pragma once

#include <QMetaEnum>
#include <QString>

#include <algorithm>

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

// `text` with its control characters written out ("\\x1b"), for text from
// a module or a file that reaches a terminal or a view: shown, not obeyed.
inline QString shownText(const QString& text)
{
    const auto isControl = [](QChar c) {
        const ushort code = c.unicode();
        return code < 0x20 || (code >= 0x7f && code <= 0x9f);
    };
    // Every line from a module passes here: most hold no control character
    // and are shared as they are, not copied.
    if (std::none_of(text.cbegin(), text.cend(), isControl))
        return text;
    QString shown;
    for (const QChar c : text)
        shown
            += isControl(c) ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0')) : QString(c);
    return shown;
}

} // namespace Helper
