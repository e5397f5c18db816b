// Debian's mbpoll, an independent Modbus master, against our simulated bus.
#include "cli/ProgramRun.h"

#include "SimBus.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>

namespace {

// mbpoll prints one "[reference]: <tab>value" line per value read.
std::map<int, long> ParseMbpoll(const std::string& out) {
    std::map<int, long> values;
    std::istringstream lines(out);
    std::string text;
    while (std::getline(lines, text)) {
        int reference = 0;
        long value = 0;
        char tail = 0;
        if (text.empty() || text[0] != '[')
            continue;
        if (std::sscanf(text.c_str(), "[%d]: %ld %c", &reference, &value, &tail) == 2)
            values[reference] = value;
    }
    return values;
}

class Mbpoll : public ::testing::Test {
protected:
    void SetUp() override {
        mbpoll = FindOnPath("mbpoll");
        if (mbpoll.empty())
            GTEST_SKIP() << "mbpoll is not installed";
        sim::SimBusOptions options;
        options.timeScale = 0; // the image stays as read
        bus = std::make_unique<sim::SimBus>(options);
        bus->AddController(1, TQ100);
        bus->AddController(2, TQ102_TQ402);
        // Distinct values, one of them negative, so an off-by-one cannot pass.
        for (uint16_t i = 0; i < 10; ++i)
            bus->At(1).SetRegister(i, static_cast<int16_t>(1000 + 7 * i));
        bus->At(1).SetRegister(3, -42);
    }

    ProgramResult Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"-1", "-o", "2"});
        return RunProgram(mbpoll, args, std::chrono::seconds(30));
    }
    std::vector<std::string> Tcp() {
        return {"-m", "tcp", "-p", std::to_string(bus->StartTcp(0)), "127.0.0.1"};
    }
    std::vector<std::string> Rtu() {
        return {"-m", "rtu", "-b", "19200", "-P", "none", bus->StartPty()};
    }
    static std::vector<std::string> Join(std::vector<std::string> a,
                                         const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    void ExpectRegisters(const ProgramResult& r, sim::Controller& c, int firstReference,
                         int firstRegister, int count) {
        ASSERT_EQ(r.exitStatus, 0) << r.out << r.err;
        auto values = ParseMbpoll(r.out);
        ASSERT_EQ(values.size(), static_cast<size_t>(count)) << r.out;
        for (int k = 0; k < count; ++k) {
            ASSERT_TRUE(values.count(firstReference + k)) << r.out;
            // mbpoll may print a word signed or unsigned; the 16 bits must agree.
            EXPECT_EQ(static_cast<uint16_t>(values[firstReference + k]),
                      static_cast<uint16_t>(c.Register(static_cast<uint16_t>(firstRegister + k))))
                << "register " << firstRegister + k;
        }
    }

    std::string mbpoll;
    std::unique_ptr<sim::SimBus> bus;
};

TEST_F(Mbpoll, ReadsRegistersOverRtuWithOneBasedReferences) {
    auto r = Run(Join({"-a", "1", "-r", "1", "-c", "10"}, Rtu()));
    ExpectRegisters(r, bus->At(1), 1, 0, 10);
    ASSERT_EQ(bus->RequestLog().size(), 1u);
    EXPECT_EQ(bus->RequestLog()[0].start, 0) << "reference 1 is register 0";
}

TEST_F(Mbpoll, ReadsRegistersOverTcpWithZeroBasedReferences) {
    auto r = Run(Join({"-a", "1", "-0", "-r", "0", "-c", "10"}, Tcp()));
    ExpectRegisters(r, bus->At(1), 0, 0, 10);
}

TEST_F(Mbpoll, ReadsTheFamilyRegisterOfBothFamilies) {
    const auto tcp = Tcp();
    auto r = Run(Join({"-a", "1", "-0", "-r", "56", "-c", "1"}, tcp));
    ExpectRegisters(r, bus->At(1), 56, 56, 1);
    EXPECT_EQ(ParseMbpoll(r.out)[56], 0) << "a TQ100 reads 0";
    r = Run(Join({"-a", "2", "-0", "-r", "56", "-c", "1"}, tcp));
    ExpectRegisters(r, bus->At(2), 56, 56, 1);
    EXPECT_NE(ParseMbpoll(r.out)[56], 0) << "a ZI102-VA402 reads non-zero";
}

TEST_F(Mbpoll, ReadsStatusCoilsOverRtu) {
    // Manual mode and the digital input are kept as set; the other coils follow the process.
    bus->At(2).SetCoil(5, true);
    bus->At(2).SetCoil(8, true);
    auto r = Run(Join({"-a", "2", "-t", "0", "-0", "-r", "0", "-c", "10"}, Rtu()));
    ASSERT_EQ(r.exitStatus, 0) << r.out << r.err;
    auto values = ParseMbpoll(r.out);
    ASSERT_EQ(values.size(), 10u) << r.out;
    for (uint16_t k = 0; k < 10; ++k)
        EXPECT_EQ(values[k], bus->At(2).Coil(k) ? 1 : 0) << "coil " << k;
    EXPECT_EQ(values[5], 1);
    EXPECT_EQ(values[8], 1);
}

TEST_F(Mbpoll, WritesOneRegisterOverTcp) {
    const int16_t value = static_cast<int16_t>(bus->At(1).Register(31) + 3);
    auto r = Run(Join({"-a", "1", "-0", "-r", "1"}, Join(Tcp(), {std::to_string(value)})));
    ASSERT_EQ(r.exitStatus, 0) << r.out << r.err;
    EXPECT_EQ(bus->At(1).Register(1), value);
    ASSERT_EQ(bus->RequestLog().size(), 1u);
    EXPECT_EQ(bus->RequestLog()[0].function, 6);
}

TEST_F(Mbpoll, RegisterPastTheMapIsRefusedOverRtu) {
    auto r = Run(Join({"-a", "2", "-0", "-r", "43", "-c", "1"}, Rtu()));
    EXPECT_NE(r.exitStatus, 0);
    EXPECT_NE((r.out + r.err).find("Illegal data address"), std::string::npos) << r.out << r.err;
}

TEST_F(Mbpoll, AbsentSlaveTimesOutOverRtu) {
    auto r = Run(Join({"-a", "30", "-r", "1", "-c", "1", "-o", "0.3"}, Rtu()));
    EXPECT_NE(r.exitStatus, 0);
    EXPECT_TRUE(ParseMbpoll(r.out).empty());
}

} // namespace
