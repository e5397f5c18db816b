#include "MqttFeed.h"

#include "ComErrorName.h"
#include "MqttPayload.h"
#include "MqttPublisher.h"

#include "core/model/ControllerList.h"
#include "core/tasks/PollingEngine.h"

#include <boost/bind/bind.hpp>

#include <algorithm>
#include <cstring>

CMqttFeed::CMqttFeed(CPollingEngine& engine, const CControllerList& list, CMqttPublisher& publisher)
    : engine(engine), publisher(publisher) {
    for (size_t i = 0; i < list.enabled.size(); ++i) {
        if (list.enabled[i] != 0) {
            entries.emplace_back();
            entries.back().name = list.name[i];
        }
    }
    using namespace boost::placeholders;
    engine.AddStartSubscriber(boost::bind(&CMqttFeed::OnStart, this, _1));
    engine.AddDataSubscriber(boost::bind(&CMqttFeed::OnData, this, _1, _2, _3));
    engine.AddErrorSubscriber(boost::bind(&CMqttFeed::OnError, this, _1));
}

void CMqttFeed::OnStart(unsigned char address) {
    // The engine reads its poll table in order, so the n-th start of a cycle is entry n.
    const std::vector<uint8_t>& polled = engine.PolledAddresses();
    if (current >= polled.size() || polled[current] != address)
        current = 0;
}

void CMqttFeed::OnData(unsigned char, short* registers, unsigned char* coils) {
    if (current >= entries.size())
        return;
    Entry& e = entries[current];
    e.ok = true;
    std::memcpy(e.registers, registers, sizeof e.registers);
    std::memcpy(e.coils, coils, sizeof e.coils);
    ++current;
}

void CMqttFeed::OnError(unsigned char) {
    if (current >= entries.size())
        return;
    entries[current].ok = false;
    entries[current].failure = engine.LastFailure();
    ++current;
}

void CMqttFeed::PublishCycle(std::chrono::system_clock::time_point when) {
    const std::string time = MqttTimeText(when);
    const std::string prefix = publisher.Settings().topicPrefix + "/";
    const std::vector<uint8_t>& polled = engine.PolledAddresses();
    const std::vector<uint16_t> coilCounts = engine.CoilCounts();
    std::vector<MqttMessage> messages;
    messages.reserve(entries.size());
    for (size_t i = 0; i < entries.size() && i < polled.size(); ++i) {
        const Entry& e = entries[i];
        const uint8_t address = polled[i];
        messages.push_back(
            {prefix + std::to_string(address),
             e.ok ? MqttDataPayload(time, address, e.name, e.registers, e.coils,
                                    std::min<int>(coilCounts[i], 11))
                  : MqttErrorPayload(time, address, e.name, ComErrorName(e.failure))});
    }
    publisher.Post(std::move(messages));
    current = 0;
}
