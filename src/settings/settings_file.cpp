#include "settings/settings_file.h"

#include "base/integer_text.h"

namespace tarvik {

namespace {

// One section in the file; the platform compares section names without
// regard to case, and the two numbers have always been read as "Setup".
const char kSection[] = "SETUP";
const char kNumberSection[] = "Setup";

}  // namespace

void LoadSettings(ValueStore& store, MonitorSettings& settings, bool& status, const SettingLoaded& loaded) {
    const auto arrived = [&loaded](SettingKey key) {
        if (loaded) loaded(key);
    };
    settings.ProbeAddress = store.Read(kSection, "IP");
    arrived(SettingKey::ProbeAddress);
    settings.ProbeUrl = store.Read(kSection, "HOST");
    arrived(SettingKey::ProbeUrl);
    settings.IntervalSeconds = ParseInt32(store.Read(kNumberSection, "INTERVAL"));
    arrived(SettingKey::IntervalSeconds);
    settings.AlertThreshold = ParseInt32(store.Read(kNumberSection, "ACTIONS"));
    arrived(SettingKey::AlertThreshold);
    settings.AlertComputer = store.Read(kSection, "COMPUTER");
    arrived(SettingKey::AlertComputer);
    settings.AlertText = store.Read(kSection, "MESSAGE");
    arrived(SettingKey::AlertText);
    status = store.Read(kSection, "STATUS") == "1";
    arrived(SettingKey::Status);
}

void SaveSettings(ValueStore& store, const MonitorSettings& settings, bool status) {
    store.Write(kSection, "IP", settings.ProbeAddress);
    store.Write(kSection, "HOST", settings.ProbeUrl);
    store.Write(kSection, "INTERVAL", IntToText(settings.IntervalSeconds));
    store.Write(kSection, "ACTIONS", IntToText(settings.AlertThreshold));
    store.Write(kSection, "COMPUTER", settings.AlertComputer);
    store.Write(kSection, "MESSAGE", settings.AlertText);
    store.Write(kSection, "STATUS", status ? "1" : "0");
}

}  // namespace tarvik
