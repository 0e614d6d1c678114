#pragma once

#include "Prepass.h"

#include <QAbstractListModel>
#include <QList>

// The satellite passes shown in the prepass table, in start order: those
// imported from CSV, or the module's next pass.
class PrepassModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        SatelliteRole = Qt::UserRole + 1,
        StartRole,
        MiddleRole,
        EndRole,
        DurationRole,
        ElevationRole,
        StartAzimuthRole,
        MiddleAzimuthRole,
        EndAzimuthRole,
        ActiveRole,
    };
    Q_ENUM(Role)

    // How dates and durations are shown in the table.
    static constexpr const char* DATE_FORMAT = "yyyy-MM-dd hh:mm:ss";
    static constexpr const char* DURATION_FORMAT = "hh:mm:ss";

    explicit PrepassModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    void add(QString name, QDateTime start, QTime duration, double elevation, bool active);
    void add(const Prepass& pass);
    // Replaces the whole list in one model reset.
    void setPasses(const QList<Prepass>& passes);
    Q_INVOKABLE void clear();
    void remove(int row);
    void setActive(int row, bool active);

    // The pass at `row`; the caller keeps the row below rowCount().
    const Prepass& at(int row) const { return m_passes.at(row); }
    QList<Prepass> passes() const { return m_passes; }

private:
    QList<Prepass> m_passes;
};
