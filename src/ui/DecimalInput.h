#pragma once

#include "log/DecimalText.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

// DecimalText for QML, reached as the singleton "Decimal".
class DecimalInput : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Decimal)
    QML_SINGLETON

public:
    using QObject::QObject;

    Q_INVOKABLE double parse(const QString& text, double bottom, double top, int decimals) const
    {
        return DecimalText::parse(text, bottom, top, decimals);
    }
    Q_INVOKABLE QString shown(const QString& text) const { return DecimalText::shown(text); }
};
