#include "ModulationModel.h"

#include <QMetaEnum>
#include <QStringList>

namespace {

struct ModulationSizes {
    ModulationModel::Modulation modulation;
    QList<uint> sizes;
};

const QList<ModulationSizes>& sizeTable()
{
    static const QList<ModulationSizes> table = {
        {ModulationModel::LDA2, {24}},
        {ModulationModel::LDA2L, {31}},
        {ModulationModel::VLDA4, {3}},
        {ModulationModel::LDK, {16, 24}},
        {ModulationModel::HDA4, {24, 48, 96}},
    };
    return table;
}

} // namespace

ModulationModel::ModulationModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

int ModulationModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(sizeTable().size());
}

QVariant ModulationModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= sizeTable().size())
        return {};
    const ModulationSizes& entry = sizeTable().at(index.row());
    switch (role) {
    case NameRole: return QString::fromLatin1(QMetaEnum::fromType<Modulation>().valueToKey(entry.modulation));
    case AllowedSizeRole: return sizeListText(entry.sizes);
    case SelectedRole: return entry.modulation == m_modulation;
    default: return {};
    }
}

QHash<int, QByteArray> ModulationModel::roleNames() const
{
    return {{NameRole, "name"}, {AllowedSizeRole, "allowedSize"}, {SelectedRole, "selected"}};
}

QList<uint> ModulationModel::allowedSizes(Modulation modulation)
{
    for (const ModulationSizes& entry : sizeTable()) {
        if (entry.modulation == modulation)
            return entry.sizes;
    }
    return {};
}

QString ModulationModel::sizeListText(const QList<uint>& sizes)
{
    if (sizes.isEmpty())
        return QStringLiteral("any number of");
    QStringList texts;
    for (const uint size : sizes)
        texts.append(QString::number(size));
    const QString last = texts.takeLast();
    return texts.isEmpty() ? last : texts.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

QString ModulationModel::modulationName() const
{
    return QString::fromLatin1(QMetaEnum::fromType<Modulation>().valueToKey(m_modulation));
}

void ModulationModel::setFrequencyMin(uint frequency)
{
    m_frequencyMin = frequency;
    emit frequencyMinChanged();
}

void ModulationModel::setFrequencyMax(uint frequency)
{
    m_frequencyMax = frequency;
    emit frequencyMaxChanged();
}

void ModulationModel::setPower(uint power)
{
    m_power = power;
    emit powerChanged();
}

void ModulationModel::setModulation(int modulation)
{
    const bool known = QMetaEnum::fromType<Modulation>().valueToKey(modulation) != nullptr;
    m_modulation = known ? static_cast<Modulation>(modulation) : NA;
    emit modulationChanged();
    emit dataChanged(index(0), index(rowCount() - 1), {SelectedRole});
    // Every answer re-checks the payloads, even when the modulation stays.
    emit allowedSizeChanged(allowedSize());
}

void ModulationModel::reset()
{
    setFrequencyMin(0);
    setFrequencyMax(0);
    setPower(0);
    setModulation(NA);
}
