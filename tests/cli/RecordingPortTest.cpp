// Naming a failed bus task's code from the last exchange its master made.
#include "RecordingPort.h"

#include "core/modbus/ModbusMaster.h"

#include <gtest/gtest.h>

namespace {

using Master = CModbusMaster;

// A transport that answers every exchange with fixed bytes (or fails).
class CannedPort : public CCommPort {
public:
    CannedPort(std::vector<uint8_t> answer, bool works) : bytes(std::move(answer)), ok(works) {
        open = true;
    }
    void Close() override { open = false; }
    int Send(const uint8_t*, int) override { return 1; }
    int Receive(uint8_t*, uint32_t* length) override {
        *length = 0;
        return 1;
    }
    int Transact(const uint8_t*, int, uint8_t* response, uint32_t* length, int) override {
        if (!ok)
            return 0;
        const uint32_t n = std::min<uint32_t>(*length, static_cast<uint32_t>(bytes.size()));
        std::copy(bytes.begin(), bytes.begin() + n, response);
        *length = n;
        return 1;
    }

private:
    std::vector<uint8_t> bytes;
    bool ok;
};

int CodeAfter(std::vector<uint8_t> answer, bool works, int mode) {
    ExchangeRecord record;
    Master master(std::make_unique<CRecordingPort>(
                      std::make_unique<CannedPort>(std::move(answer), works), record),
                  mode);
    int thrown = Master::comOk;
    try {
        int16_t value = 0;
        master.Request(1, 3, 56, 1, &value, true, 0);
    } catch (Master::tErrorCom code) {
        thrown = code;
    }
    const int recorded = RecordedErrorCode(record, mode);
    EXPECT_EQ(recorded, thrown) << "the record names what the master threw";
    return recorded;
}

TEST(RecordingPort, NamesTheCodeTheMasterThrew) {
    EXPECT_EQ(CodeAfter({}, true, 0), Master::comNoResponse);
    EXPECT_EQ(CodeAfter({0x01, 0x03}, true, 0), Master::comShortFrame);
    EXPECT_EQ(CodeAfter({0x01, 0x03, 0x02, 0x00, 0x00, 0x12, 0x34}, true, 0), Master::comCrcError);
    EXPECT_EQ(CodeAfter({0x01, 0x03}, false, 1), Master::comPortError);
    // TCP frames carry no CRC; a foreign address is a mismatch.
    EXPECT_EQ(CodeAfter({0x07, 0x03, 0x02, 0x00, 0x00}, true, 1), Master::comMismatch);
}

TEST(RecordingPort, FollowsTheInnerPortsOpenState) {
    ExchangeRecord record;
    CRecordingPort closed(nullptr, record);
    EXPECT_FALSE(closed.IsOpen());
    CRecordingPort port(std::make_unique<CannedPort>(std::vector<uint8_t>{}, true), record);
    EXPECT_TRUE(port.IsOpen());
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(RecordedErrorCode(ExchangeRecord{}, 0), Master::comOk);
}

} // namespace
