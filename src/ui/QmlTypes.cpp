#include "QmlTypes.h"

namespace {
std::function<void(TavManager*)>& onCreatedHook()
{
    static std::function<void(TavManager*)> hook;
    return hook;
}
} // namespace

TavManager* TavManagerType::create(QQmlEngine*, QJSEngine*)
{
    auto* manager = new TavManager();
    if (onCreatedHook())
        onCreatedHook()(manager);
    return manager;
}

void TavManagerType::setOnCreated(std::function<void(TavManager*)> onCreated)
{
    onCreatedHook() = std::move(onCreated);
}
