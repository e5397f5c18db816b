// The polling cycle against simulated controllers over Modbus TCP loopback.
#include "core/tasks/PollingEngine.h"
#include "core/modbus/ModbusMaster.h"
#include "core/modbus/TcpCommPort.h"
#include "core/model/ControllerList.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/DataLogger.h"

#include "SimBus.h"

#include <boost/bind/bind.hpp>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace boost::placeholders;

namespace {

// What the subscribers saw, in call order.
struct Journal {
    std::mutex lock;
    std::vector<std::string> calls;
    std::vector<std::vector<unsigned char>> coils;

    void Note(const std::string& what, unsigned char address) {
        std::lock_guard<std::mutex> guard(lock);
        calls.push_back(what + std::to_string(address));
    }
    void OnStart(unsigned char a) { Note("start", a); }
    void OnData(unsigned char a, short*, unsigned char* c) {
        Note("data", a);
        std::lock_guard<std::mutex> guard(lock);
        coils.emplace_back(c, c + kMaxStatusCoils);
    }
    void OnError(unsigned char a) { Note("error", a); }
    void OnEnd(unsigned char a) { Note("end", a); }
};

struct PollingSim : ::testing::Test {
    sim::SimBus bus{[] {
        sim::SimBusOptions o;
        o.timeScale = 0;
        return o;
    }()};
    CTQControllerModel model;
    CControllerList list{"Zone"};
    Journal journal;
    fs::path logs = fs::temp_directory_path() /
                    ("calora-poll-" + std::to_string(::getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::unique_ptr<CModbusMaster> master;

    PollingSim() {
        fs::remove_all(logs);
        master = std::make_unique<CModbusMaster>("127.0.0.1", bus.StartTcp());
    }
    ~PollingSim() override { fs::remove_all(logs); }

    void SetEntries(const std::vector<std::pair<uint8_t, int>>& entries, int period = 1) {
        list.enabled.clear();
        list.address.clear();
        list.name.clear();
        list.unit.clear();
        for (auto [address, enabled] : entries) {
            list.enabled.push_back(enabled);
            list.address.push_back(address);
            list.name.push_back("Zone " + std::to_string(address));
            list.unit.push_back("\xC2\xBA"
                                "C");
        }
        list.period = period;
    }

    std::unique_ptr<CPollingEngine> Engine(int mode = kLogOneFile) {
        DataLoggerConfig config;
        config.mode = mode;
        config.logsDir = logs.string();
        auto engine = std::make_unique<CPollingEngine>(*master, model, list, config);
        engine->AddStartSubscriber(boost::bind(&Journal::OnStart, &journal, _1));
        engine->AddDataSubscriber(boost::bind(&Journal::OnData, &journal, _1, _2, _3));
        engine->AddErrorSubscriber(boost::bind(&Journal::OnError, &journal, _1));
        engine->AddEndSubscriber(boost::bind(&Journal::OnEnd, &journal, _1));
        return engine;
    }

    // Requests (function, start, quantity) one controller received, in order.
    std::vector<std::string> Frames(uint8_t address) const {
        std::vector<std::string> frames;
        for (const sim::RequestRecord& r : bus.RequestLog())
            if (r.address == address)
                frames.push_back(std::to_string(r.function) + ":" + std::to_string(r.start) + ":" +
                                 std::to_string(r.quantity));
        return frames;
    }

    // Lines of the only log file.
    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines;
        for (const auto& day : fs::directory_iterator(logs))
            for (const auto& file : fs::directory_iterator(day)) {
                std::ifstream in(file.path());
                for (std::string line; std::getline(in, line);)
                    lines.push_back(line);
            }
        return lines;
    }
};

std::vector<std::string> Repeat(const std::string& frame, int times) {
    return std::vector<std::string>(static_cast<size_t>(times), frame);
}

TEST_F(PollingSim, OneCycleReadsEachControllerAndReportsInOrder) {
    bus.AddController(1, ModelFamily::TQ100);
    bus.AddController(2, ModelFamily::TQ102_TQ402);
    bus.AddController(3, ModelFamily::TQ100);
    bus.AddController(4, ModelFamily::TQ102_TQ402);
    bus.AddController(5, ModelFamily::TQ100);
    // Controller 1's output lamp (coil 10) is on; it must not show through in controller
    // 2's coil byte 10, which a ZI102-VA402 does not have.
    bus.At(1).SetCoil(5, true);
    bus.At(1).SetRegister(3, 1000);
    bus.Advance(1.0);
    bus.SetFault(3, sim::FaultKind::Exception, 1.0, 4);
    // Controller 4 answers its registers, then every coil read with an exception.
    bus.SetRequestObserver([this](const sim::RequestRecord& r) {
        if (r.address == 4 && r.function == 3 && r.start == 32)
            bus.SetFault(4, sim::FaultKind::Exception, 1.0, 4);
    });
    SetEntries({{1, 1}, {2, 1}, {3, 1}, {5, 0}, {4, 1}});

    auto engine = Engine();
    engine->SetCycleObserver([&](const PollCycleStats& s) {
        EXPECT_EQ(s.read, 2);
        EXPECT_EQ(s.failed, 2);
        engine->RequestStop();
    });
    ASSERT_TRUE(engine->Start());
    engine->Join();
    ASSERT_EQ(engine->Cycles(), 1u);

    const std::vector<std::string> registers = {"3:0:16", "3:16:16", "3:32:11"};
    auto with = [](std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    EXPECT_EQ(Frames(1), with(with({"3:56:1"}, registers), {"1:0:11"}));
    EXPECT_EQ(Frames(2), with(with({"3:56:1"}, registers), {"1:0:10"}));
    // The probe's exception counts as the other family: 10 coils; then 15 register tries.
    EXPECT_EQ(Frames(3), with({"3:56:1"}, Repeat("3:0:16", kPollExceptionTries)));
    EXPECT_EQ(Frames(4), with(with({"3:56:1"}, registers), Repeat("1:0:10", kPollExceptionTries)));
    EXPECT_TRUE(Frames(5).empty());
    EXPECT_EQ(engine->CoilCounts(), (std::vector<uint16_t>{11, 10, 10, 10}));

    EXPECT_EQ(journal.calls,
              (std::vector<std::string>{"start1", "data1", "end1", "start2", "data2", "end2",
                                        "start3", "error3", "end3", "start4", "error4", "end4"}));
    ASSERT_EQ(journal.coils.size(), 2u);
    EXPECT_EQ(journal.coils[0][10], 1);
    EXPECT_EQ(journal.coils[1][10], 0);

    const auto lines = LogLines();
    ASSERT_EQ(lines.size(), 3u); // names, titles, one row
    EXPECT_NE(lines[2].find("Error\tError\tError\tError\tError\tError\tError\t"),
              std::string::npos);
}

TEST_F(PollingSim, StopWhileWaitingEndsAtOnceWithoutAnotherRow) {
    bus.AddController(1, ModelFamily::TQ100);
    SetEntries({{1, 1}}, 900); // beyond 214 s the timer's due time no longer fits 32 bits
    EXPECT_EQ(CPollingEngine::DueTimeOf(900), -9000000000LL);
    auto engine = Engine();
    ASSERT_TRUE(engine->Start());
    for (int i = 0; i < 500 && engine->Cycles() == 0; ++i)
        std::this_thread::sleep_for(10ms);
    ASSERT_EQ(engine->Cycles(), 1u);
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(engine->Finished()); // waiting for the next period
    const auto before = std::chrono::steady_clock::now();
    engine->RequestStop();
    engine->Join();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
    EXPECT_EQ(LogLines().size(), 3u);
}

TEST_F(PollingSim, StopWhileReadingEndsThatControllerWithoutDataOrErrorAndWritesNoRow) {
    bus.AddController(1, ModelFamily::TQ100);
    bus.AddController(2, ModelFamily::TQ100);
    bus.AddController(3, ModelFamily::TQ100);
    SetEntries({{1, 1}, {2, 1}, {3, 1}});
    auto engine = Engine();
    CPollingEngine* raw = engine.get();
    engine->AddStartSubscriber([raw](unsigned char a) {
        if (a == 2)
            raw->RequestStop(); // the user closes the window while controller 2 is read
    });
    ASSERT_TRUE(engine->Start());
    engine->Join();
    // The stop ends the read in flight: no values and no failure for controller 2, but its
    // end still pairs with its start.
    EXPECT_EQ(journal.calls,
              (std::vector<std::string>{"start1", "data1", "end1", "start2", "end2"}));
    EXPECT_EQ(engine->Cycles(), 0u);
    EXPECT_TRUE(Frames(3).size() == 1u); // its probe only
    EXPECT_EQ(LogLines().size(), 2u);    // headers only
}

} // namespace
