#pragma once

#include <QObject>

constexpr int TIME_S_TO_MS(quint8 s)
{
    return s * 1000;
}

constexpr int TIME_MIN_TO_MS(quint8 min)
{
    return TIME_S_TO_MS(min) * 60;
}

// The transmission profiles and the times of a sequence, shared by the
// sequence engine and the facade (which names them TxManager::Profile...).
class TxTypes {
    Q_GADGET

public:
    enum Profile { PERIODIC, PREPASS, PREPASS_ON_MODULE };
    Q_ENUM(Profile)

    static constexpr const char* UI_DATE_FORMAT = "ddd MMM d, hh:mm:ss";
    // One Tx a minute while a pass lasts.
    static constexpr int PREPASS_TX_STEP_MS = TIME_S_TO_MS(60);
    static constexpr int PENDING_RESPONSE_WAIT_MS = 6000;
    static constexpr int PREPASS_ON_MODULE_SCHEDULE_DELAY_MS = 10;
    // Back-off before the next pass is asked for again, when the module gave
    // none (another request was waiting, or it did not answer).
    static constexpr int NEXT_PASS_RETRY_MS = TIME_S_TO_MS(5);
    // How long the result of the last Tx of a round is waited for before that
    // Tx counts as not sent (nothing else would move the sequence on).
    static constexpr int TX_RESULT_WAIT_MS = PENDING_RESPONSE_WAIT_MS;
};
