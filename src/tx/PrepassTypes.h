#pragma once

#include <QMetaType>
#include <QObject>

// The beacon's position, in degrees.
struct Position {
    Q_GADGET
    Q_PROPERTY(double latitude MEMBER latitude)
    Q_PROPERTY(double longitude MEMBER longitude)

public:
    double latitude = 0;
    double longitude = 0;

    bool operator==(const Position& other) const
    {
        return latitude == other.latitude && longitude == other.longitude;
    }
    bool operator!=(const Position& other) const { return !(*this == other); }
};

// The module's pass-prediction settings. Only the first three are the
// user's; the last four are fixed and travel with them to the module.
struct PrepassConfig {
    Q_GADGET
    Q_PROPERTY(quint8 predictionDuration MEMBER predictionDuration)
    Q_PROPERTY(double minElevation MEMBER minElevation)
    Q_PROPERTY(quint8 minPassDuration MEMBER minPassDuration)

public:
    static constexpr double TAV_PREPASS_CFG_DEFAULT_MAX_ELEVATION = 90.0;
    static constexpr quint16 TAV_PREPASS_CFG_DEFAULT_MAX_PASSES = 1000;
    static constexpr double TAV_PREPASS_CFG_DEFAULT_TIME_MARGIN = 5.0;
    static constexpr quint8 TAV_PREPASS_CFG_DEFAULT_COMPUTATION_STEP = 30;

    quint8 predictionDuration = 0; // days
    double minElevation = 5.0; // degrees
    quint8 minPassDuration = 5; // minutes
    double maxElevation = TAV_PREPASS_CFG_DEFAULT_MAX_ELEVATION;
    quint16 maxPasses = TAV_PREPASS_CFG_DEFAULT_MAX_PASSES;
    double timeMargin = TAV_PREPASS_CFG_DEFAULT_TIME_MARGIN;
    quint8 computationStep = TAV_PREPASS_CFG_DEFAULT_COMPUTATION_STEP; // seconds

    bool operator==(const PrepassConfig& other) const
    {
        return predictionDuration == other.predictionDuration && minElevation == other.minElevation
            && minPassDuration == other.minPassDuration && maxElevation == other.maxElevation
            && maxPasses == other.maxPasses && timeMargin == other.timeMargin
            && computationStep == other.computationStep;
    }
    bool operator!=(const PrepassConfig& other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(Position)
Q_DECLARE_METATYPE(PrepassConfig)
