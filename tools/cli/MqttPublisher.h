#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Where and how `monitor --mqtt` publishes.
struct MqttSettings {
    std::string host;
    uint16_t port = 1883;
    std::string topicPrefix = "calora";
    std::string clientId; // "" = calora-<hostname>-<pid>
    std::string user;     // "" = no login
    std::string password;
    std::string caFile; // "" = plain TCP, else TLS checked against these certificates
    int qos = 1;
    size_t queueLimit = 10000; // messages waiting for the broker; the oldest go first
};

struct MqttMessage {
    std::string topic;
    std::string payload;
};

struct MqttQueueStats {
    uint64_t queued = 0;  // posted, not yet taken by the broker
    uint64_t dropped = 0; // pushed out of a full queue, in all
};

// A connection to one MQTT broker through libmosquitto. Post only queues: the network runs on
// libmosquitto's loop in a thread of its own, so a slow or absent broker never holds up the
// caller. While the broker is away messages wait in a bounded queue and the connection is
// retried with back-off. PREFIX/status is "online" (retained) while connected and "offline"
// as the last will and after Stop.
class CMqttPublisher {
public:
    explicit CMqttPublisher(MqttSettings settings);
    // Stops with no time to drain, if Stop was not called.
    ~CMqttPublisher();

    CMqttPublisher(const CMqttPublisher&) = delete;
    CMqttPublisher& operator=(const CMqttPublisher&) = delete;

    // Starts connecting; false, with the reason, when the settings cannot be used (a CA file
    // that cannot be read). A broker that is not there yet is no failure.
    bool Start(std::string& error);

    // Queues one cycle's messages at once: a single hand-over, so the caller is not
    // interleaved with the threads that send them.
    void Post(std::vector<MqttMessage> messages);
    MqttQueueStats Stats() const;

    // What the user must hear (a refused login, a failed TLS handshake), each said once.
    std::vector<std::string> TakeNotices();

    // Gives queued messages up to `drain` to reach a connected broker, then publishes
    // "offline" and disconnects. Returns how many messages were never delivered.
    uint64_t Stop(std::chrono::milliseconds drain);

    const MqttSettings& Settings() const { return settings; }

private:
    struct State;
    MqttSettings settings;
    std::shared_ptr<State> state;
};

// "calora-<hostname>-<pid>".
std::string DefaultMqttClientId();
