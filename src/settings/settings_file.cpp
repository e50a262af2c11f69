#include "settings/settings_file.h"

#include "base/integer_text.h"

namespace tarvik {

namespace {

// One section in the file; the platform compares section names without
// regard to case, and the two numbers have always been read as "Setup".
const char kSection[] = "SETUP";
const char kNumberSection[] = "Setup";

template <typename Handler, typename Value>
void Deliver(const Handler& handler, const Value& value) {
    if (handler) handler(value);
}

}  // namespace

void LoadSettings(ValueStore& store, const SettingsSink& sink) {
    Deliver(sink.probeAddress, store.Read(kSection, "IP"));
    Deliver(sink.probeUrl, store.Read(kSection, "HOST"));
    Deliver(sink.intervalSeconds, ParseInt32(store.Read(kNumberSection, "INTERVAL")));
    Deliver(sink.alertThreshold, ParseInt32(store.Read(kNumberSection, "ACTIONS")));
    Deliver(sink.alertComputer, store.Read(kSection, "COMPUTER"));
    Deliver(sink.alertText, store.Read(kSection, "MESSAGE"));
    Deliver(sink.status, store.Read(kSection, "STATUS") == "1");
}

void SaveSettings(ValueStore& store, const SavedSettings& values) {
    store.Write(kSection, "IP", values.probeAddress);
    store.Write(kSection, "HOST", values.probeUrl);
    store.Write(kSection, "INTERVAL", IntToText(values.intervalSeconds));
    store.Write(kSection, "ACTIONS", IntToText(values.alertThreshold));
    store.Write(kSection, "COMPUTER", values.alertComputer);
    store.Write(kSection, "MESSAGE", values.alertText);
    store.Write(kSection, "STATUS", values.status ? "1" : "0");
}

}  // namespace tarvik
