#include "ModuleState.h"

#include <QHash>
#include <QTimeZone>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

} // namespace

const QStringList& ModuleState::modulations()
{
    static const QStringList names {QStringLiteral("LDA2"), QStringLiteral("LDA2L"), QStringLiteral("VLDA4"),
        QStringLiteral("LDK"), QStringLiteral("HDA4")};
    return names;
}

int ModuleState::maxFrameBytes(const QString& modulation)
{
    // LDA2 24, LDA2L 31, VLDA4 3, LDK 16 or 24, HDA4 24, 48 or 96 bytes.
    static const QHash<QString, int> largest {{QStringLiteral("LDA2"), 24}, {QStringLiteral("LDA2L"), 31},
        {QStringLiteral("VLDA4"), 3}, {QStringLiteral("LDK"), 24}, {QStringLiteral("HDA4"), 96}};
    return largest.value(modulation, 32);
}

ModuleState ModuleState::factory(Variant variant, const QDateTime& utcNow)
{
    ModuleState s;
    s.latitude = 43.5584;
    s.longitude = 1.4866;
    s.prepass.latitude = s.latitude;
    s.prepass.longitude = s.longitude;
    const QDateTime midnight(utcNow.toUTC().date(), QTime(0, 0), QTimeZone::utc());
    s.prepass.start = midnight;
    s.prepass.end = midnight.addDays(7);
    s.radio.blob = QByteArray(16, '\0');

    switch (variant) {
    case Variant::TAV1:
        s.id = QStringLiteral("1A2B3C");
        s.firmware = QStringLiteral("TAV1 FW 2.3.1");
        s.serialNumber = QStringLiteral("TAV21040500117");
        s.txFrequency = 401650000;
        s.txPower = 500;
        break;
    case Variant::TAV2:
        s.id = QStringLiteral("04A1C7F2");
        s.address = QStringLiteral("2A4B7F1");
        s.firmware = QStringLiteral("TAV2 V3.2.4");
        s.radio = {401620000, 401680000, 500, QStringLiteral("LDA2"), {}};
        break;
    case Variant::RIX:
        s.id = QStringLiteral("0B77E104");
        s.address = QStringLiteral("3C1D9E2");
        s.firmware = QStringLiteral("RIX 1.6.0");
        s.radio = {399910000, 401680000, 350, QStringLiteral("HDA4"), {}};
        break;
    case Variant::TREKON:
        s.id = QStringLiteral("7E0042");
        s.firmware = QStringLiteral("2103,SW1.4.2");
        s.prepassEnable = 1;
        s.lora.deviceEui = bytes({0x70, 0xB3, 0xD5, 0x7E, 0xD0, 0x05, 0x3A, 0x41});
        s.lora.appEui = bytes({0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01});
        s.lora.appKey = bytes(
            {0x2B, 0x7E, 0x15, 0x16, 0x28, 0xAE, 0xD2, 0xA6, 0xAB, 0xF7, 0x15, 0x88, 0x09, 0xCF, 0x4F, 0x3C});
        for (int i = 0; i < 7; ++i) {
            s.acquisitionEnables << true;
            s.alertEnables << false;
        }
        break;
    }
    if (!s.radio.modulation.isEmpty())
        s.radio.blob = encodeRadioBlob(s.radio);
    return s;
}

QByteArray ModuleState::encodeRadioBlob(const RadioConfig& config)
{
    QByteArray b(16, '\0');
    auto put = [&b](int at, quint64 value, int size) {
        for (int i = 0; i < size; ++i)
            b[at + i] = char((value >> (8 * (size - 1 - i))) & 0xFF);
    };
    put(0, quint64(config.frequencyMin), 4);
    put(4, quint64(config.frequencyMax), 4);
    put(8, quint64(config.power), 2);
    put(10, quint64(qMax(0, int(modulations().indexOf(config.modulation)))), 1);
    return b;
}

bool ModuleState::decodeRadioBlob(const QByteArray& blob, RadioConfig* config)
{
    if (blob.size() != 16)
        return false;
    auto get = [&blob](int at, int size) {
        quint64 v = 0;
        for (int i = 0; i < size; ++i)
            v = (v << 8) | quint8(blob.at(at + i));
        return v;
    };
    const qint64 fmin = qint64(get(0, 4));
    const qint64 fmax = qint64(get(4, 4));
    const int power = int(get(8, 2));
    const int modulation = int(get(10, 1));
    // Only the uplink band of the constellation is a radio configuration.
    const bool inBand = fmin >= 399000000 && fmax <= 403000000 && fmin <= fmax;
    if (!inBand || power == 0 || modulation >= modulations().size())
        return false;
    *config = {fmin, fmax, power, modulations().at(modulation), blob};
    return true;
}
