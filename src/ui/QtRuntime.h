#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The Qt library the window runs on (which may be newer than the one it was
// built with), for the about box.
class QtRuntime : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(QtRuntime)
    QML_SINGLETON
    Q_PROPERTY(QString version READ version CONSTANT)

public:
    using QObject::QObject;

    QString version() const { return QString::fromLatin1(qVersion()); }
};
