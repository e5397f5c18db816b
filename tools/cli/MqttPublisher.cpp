#include "MqttPublisher.h"

#include <mosquitto.h>

#include <condition_variable>
#include <deque>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Messages handed to libmosquitto and not yet acknowledged; more wait in our own queue,
// where the bound and the count of the dropped apply.
constexpr uint64_t kWindow = 100;
constexpr int kKeepAliveSeconds = 30;
constexpr unsigned kRetryFirstSeconds = 1;
constexpr unsigned kRetryMaxSeconds = 10;

} // namespace

struct CMqttPublisher::State {
    MqttSettings settings;
    std::string statusTopic;
    mosquitto* mosq = nullptr;

    mutable std::mutex lock;
    std::condition_variable wake;
    std::deque<MqttMessage> queue;
    uint64_t inFlight = 0;
    uint64_t dropped = 0;
    bool connected = false;
    bool ending = false;   // the sender stops taking messages
    bool stopping = false; // the network loop is not restarted
    std::string lastLibraryError;
    std::set<std::string> said;
    std::vector<std::string> notices;

    std::thread network;
    std::thread sender;

    void Notice(const std::string& text) {
        if (said.insert(text).second)
            notices.push_back("mqtt: " + text);
    }

    static State& Of(void* data) { return *static_cast<State*>(data); }

    static void OnConnect(mosquitto* mosq, void* data, int rc) {
        State& s = Of(data);
        if (rc == 0) {
            std::lock_guard<std::mutex> guard(s.lock);
            if (mosquitto_publish(mosq, nullptr, s.statusTopic.c_str(), 6, "online", s.settings.qos,
                                  true) == MOSQ_ERR_SUCCESS)
                ++s.inFlight; // acknowledged like any other message
            s.connected = true;
            s.wake.notify_all();
            return;
        }
        std::lock_guard<std::mutex> guard(s.lock);
        s.Notice("the broker " + s.settings.host + ":" + std::to_string(s.settings.port) +
                 " refused the connection: " + mosquitto_connack_string(rc));
    }

    static void OnDisconnect(mosquitto*, void* data, int) {
        State& s = Of(data);
        std::lock_guard<std::mutex> guard(s.lock);
        s.connected = false;
        // Unacknowledged QoS 1 messages stay with libmosquitto, which sends them again after
        // reconnecting; QoS 0 ones not yet written are gone.
        if (s.settings.qos == 0)
            s.inFlight = 0;
        s.wake.notify_all();
    }

    static void OnPublish(mosquitto*, void* data, int) {
        State& s = Of(data);
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.inFlight > 0)
            --s.inFlight;
        s.wake.notify_all();
    }

    static void OnLog(mosquitto*, void* data, int level, const char* text) {
        if (level != MOSQ_LOG_ERR || text == nullptr)
            return;
        State& s = Of(data);
        std::lock_guard<std::mutex> guard(s.lock);
        s.lastLibraryError = text;
    }

    // A connection lost or refused is a matter of waiting; anything else the user must hear.
    static bool Passing(int rc) {
        return rc == MOSQ_ERR_SUCCESS || rc == MOSQ_ERR_NO_CONN || rc == MOSQ_ERR_CONN_LOST ||
               rc == MOSQ_ERR_ERRNO || rc == MOSQ_ERR_CONN_REFUSED || rc == MOSQ_ERR_KEEPALIVE;
    }

    void SayFailure(int rc) {
        std::string reason = mosquitto_strerror(rc);
        if (!lastLibraryError.empty())
            reason += " (" + lastLibraryError + ")";
        Notice("cannot connect to " + settings.host + ":" + std::to_string(settings.port) + ": " +
               reason);
    }

    // libmosquitto's loop, run in short slices so a stop is seen at once; after a lost or
    // failed connection it waits 1, 2, 4 ... up to 10 s before the next attempt.
    void RunNetwork() {
        unsigned delay = kRetryFirstSeconds;
        std::unique_lock<std::mutex> guard(lock);
        while (!stopping) {
            guard.unlock();
            const int rc = mosquitto_loop(mosq, 200, 1);
            guard.lock();
            if (connected)
                delay = kRetryFirstSeconds;
            if (rc == MOSQ_ERR_SUCCESS || stopping)
                continue;
            if (!Passing(rc))
                SayFailure(rc);
            if (wake.wait_for(guard, std::chrono::seconds(delay), [&] { return stopping; }))
                break;
            delay = std::min(delay * 2, kRetryMaxSeconds);
            guard.unlock();
            const int again = mosquitto_reconnect_async(mosq);
            guard.lock();
            if (!Passing(again))
                SayFailure(again);
        }
    }

    void RunSender() {
        std::unique_lock<std::mutex> guard(lock);
        for (;;) {
            wake.wait(guard, [&] {
                return ending || (connected && !queue.empty() && inFlight < kWindow);
            });
            if (ending)
                return;
            MqttMessage m = std::move(queue.front());
            queue.pop_front();
            ++inFlight;
            guard.unlock();
            const int rc = mosquitto_publish(mosq, nullptr, m.topic.c_str(),
                                             static_cast<int>(m.payload.size()), m.payload.data(),
                                             settings.qos, false);
            guard.lock();
            if (rc == MOSQ_ERR_SUCCESS)
                continue;
            --inFlight;
            if (rc == MOSQ_ERR_NO_CONN) {
                // Lost between the check and the hand-over: it waits for the next connection.
                connected = false;
                queue.push_front(std::move(m));
            } else {
                ++dropped;
                Notice(std::string("a message could not be published: ") + mosquitto_strerror(rc));
            }
        }
    }
};

CMqttPublisher::CMqttPublisher(MqttSettings s) : settings(std::move(s)) {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
    if (settings.clientId.empty())
        settings.clientId = DefaultMqttClientId();
    state = std::make_shared<State>();
    state->settings = settings;
    state->statusTopic = settings.topicPrefix + "/status";
}

CMqttPublisher::~CMqttPublisher() {
    Stop(std::chrono::milliseconds(0));
}

bool CMqttPublisher::Start(std::string& error) {
    State& s = *state;
    s.mosq = mosquitto_new(settings.clientId.c_str(), true, &s);
    if (s.mosq == nullptr) {
        error = "cannot create an MQTT client";
        return false;
    }
    mosquitto_threaded_set(s.mosq, true);
    mosquitto_connect_callback_set(s.mosq, State::OnConnect);
    mosquitto_disconnect_callback_set(s.mosq, State::OnDisconnect);
    mosquitto_publish_callback_set(s.mosq, State::OnPublish);
    mosquitto_log_callback_set(s.mosq, State::OnLog);
    int rc = mosquitto_will_set(s.mosq, s.statusTopic.c_str(), 7, "offline", settings.qos, true);
    if (rc == MOSQ_ERR_SUCCESS && !settings.user.empty())
        rc = mosquitto_username_pw_set(s.mosq, settings.user.c_str(), settings.password.c_str());
    if (rc == MOSQ_ERR_SUCCESS && !settings.caFile.empty()) {
        if (!std::ifstream(settings.caFile)) {
            error = "cannot read the CA file '" + settings.caFile + "'";
            return false;
        }
        rc = mosquitto_tls_set(s.mosq, settings.caFile.c_str(), nullptr, nullptr, nullptr, nullptr);
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        error = std::string("cannot set up the MQTT client: ") + mosquitto_strerror(rc);
        return false;
    }
    // Not there yet is no failure: the loop goes on trying.
    rc = mosquitto_connect_async(s.mosq, settings.host.c_str(), settings.port, kKeepAliveSeconds);
    if (!State::Passing(rc))
        s.SayFailure(rc);
    s.network = std::thread([&s] { s.RunNetwork(); });
    s.sender = std::thread([&s] { s.RunSender(); });
    return true;
}

void CMqttPublisher::Post(std::vector<MqttMessage> messages) {
    State& s = *state;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.ending)
            return;
        const size_t limit = std::max<size_t>(settings.queueLimit, 1);
        for (MqttMessage& m : messages) {
            if (s.queue.size() >= limit) {
                s.queue.pop_front();
                ++s.dropped;
            }
            s.queue.push_back(std::move(m));
        }
    }
    s.wake.notify_all();
}

MqttQueueStats CMqttPublisher::Stats() const {
    std::lock_guard<std::mutex> guard(state->lock);
    return {state->queue.size() + state->inFlight, state->dropped};
}

std::vector<std::string> CMqttPublisher::TakeNotices() {
    std::lock_guard<std::mutex> guard(state->lock);
    std::vector<std::string> taken;
    taken.swap(state->notices);
    return taken;
}

uint64_t CMqttPublisher::Stop(std::chrono::milliseconds drain) {
    State& s = *state;
    if (s.mosq == nullptr)
        return 0;
    std::unique_lock<std::mutex> guard(s.lock);
    const auto deadline = Clock::now() + drain;
    // A broker that is away gets no drain time.
    s.wake.wait_until(guard, deadline,
                      [&] { return (s.queue.empty() && s.inFlight == 0) || !s.connected; });
    s.ending = true;
    const uint64_t undelivered = s.queue.size() + s.inFlight;
    const bool connected = s.connected;
    s.wake.notify_all();
    guard.unlock();
    if (s.sender.joinable())
        s.sender.join();

    if (connected) {
        // Said as a clean stop, so the will is not needed; wait briefly for the broker to
        // take it.
        guard.lock();
        ++s.inFlight;
        guard.unlock();
        if (mosquitto_publish(s.mosq, nullptr, s.statusTopic.c_str(), 7, "offline", settings.qos,
                              true) == MOSQ_ERR_SUCCESS) {
            guard.lock();
            s.wake.wait_for(guard, std::chrono::milliseconds(1000),
                            [&] { return s.inFlight == 0 || !s.connected; });
            guard.unlock();
        }
    }
    guard.lock();
    s.stopping = true;
    s.wake.notify_all();
    guard.unlock();
    mosquitto_disconnect(s.mosq);
    if (s.network.joinable())
        s.network.join();
    mosquitto_destroy(s.mosq);
    s.mosq = nullptr;
    return undelivered;
}

std::string DefaultMqttClientId() {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0)
        host[0] = '\0';
    return "calora-" + std::string(host[0] != '\0' ? host : "host") + "-" +
           std::to_string(::getpid());
}
