#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QString>

// The radio modulations a module can use and the one it reports in its
// RCONF answer (frequency range, power, modulation name), with the payload
// sizes each modulation allows.
//
// | Modulation | Link                                   | Payload bytes |
// |------------|----------------------------------------|---------------|
// | LDA2       | Argos-2 low data rate, 400 bps         | 24            |
// | LDA2L      | LDA2 with the long legacy frame        | 31            |
// | VLDA4      | Argos-4 very low data rate             | 3             |
// | LDK        | Argos-3 low data rate                  | 16, 24        |
// | HDA4       | Argos-4 high data rate                 | 24, 48, 96    |
//
// The sizes are those of the user-data field of the frame; the ack and
// downlink options take two of its bytes. Until the module reports a
// modulation (and for one this table does not know) any size is allowed.
class ModulationModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int modulation READ modulation WRITE setModulation NOTIFY modulationChanged)
    Q_PROPERTY(QString modulationName READ modulationName NOTIFY modulationChanged)
    Q_PROPERTY(uint frequencyMin READ frequencyMin WRITE setFrequencyMin NOTIFY frequencyMinChanged)
    Q_PROPERTY(uint frequencyMax READ frequencyMax WRITE setFrequencyMax NOTIFY frequencyMaxChanged)
    Q_PROPERTY(uint power READ power WRITE setPower NOTIFY powerChanged)
    Q_PROPERTY(QString allowedSizeText READ allowedSizeText NOTIFY modulationChanged)

public:
    // The names are the module's own, as its RCONF answer spells them.
    enum Modulation { NA, LDA2, LDA2L, VLDA4, LDK, HDA4 };
    Q_ENUM(Modulation)

    enum Role {
        NameRole = Qt::UserRole + 1,
        AllowedSizeRole,
        SelectedRole,
    };
    Q_ENUM(Role)

    explicit ModulationModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    static QList<uint> allowedSizes(Modulation modulation);
    // "24", "16 or 24", "24, 48 or 96"; "any number of" when all are allowed.
    static QString sizeListText(const QList<uint>& sizes);

    int modulation() const { return m_modulation; }
    QString modulationName() const;
    uint frequencyMin() const { return m_frequencyMin; }
    uint frequencyMax() const { return m_frequencyMax; }
    uint power() const { return m_power; }
    QList<uint> allowedSize() const { return allowedSizes(m_modulation); }
    QString allowedSizeText() const { return sizeListText(allowedSize()); }

public slots:
    void setFrequencyMin(uint frequency);
    void setFrequencyMax(uint frequency);
    void setPower(uint power);
    // Takes the value of Helper::strToEnum: an unknown name (-1) reads as NA.
    void setModulation(int modulation);
    // Back to the state of a module that has reported nothing yet.
    void reset();

signals:
    void modulationChanged();
    void frequencyMinChanged();
    void frequencyMaxChanged();
    void powerChanged();
    void allowedSizeChanged(QList<uint> allowedSize);

private:
    Modulation m_modulation = NA;
    uint m_frequencyMin = 0;
    uint m_frequencyMax = 0;
    uint m_power = 0;
};
