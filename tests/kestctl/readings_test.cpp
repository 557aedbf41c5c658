// What a reading request came to, told apart from a reading of 0, and how one failed reading
// shows in a sample, over the in-process transport.
#include <gtest/gtest.h>

#include "app/device/device_client.h"
#include "protocol/ioctl.h"
#include "tests/device/device_fixture.h"
#include "tools/kestctl/kestctl.h"

namespace {

class ReadingOutcomeTest : public kesttest::DeviceTest {};

TEST_F(ReadingOutcomeTest, ZeroReadingFailureAndNoDeviceAreThreeThings) {
    m_machine->PinSensor(sim::Sensor::temp3, 0);
    uint32_t value = 77;
    EXPECT_EQ(QueryDriverReadingOutcome(IOCTL_READ_TEMP3, &value), ReadingOutcome::kValue);
    EXPECT_EQ(value, 0u);

    m_machine->SetChipPresent(false);
    value = 77;
    EXPECT_EQ(QueryDriverReadingOutcome(IOCTL_READ_TEMP3, &value), ReadingOutcome::kFailed);
    EXPECT_EQ(value, 77u);
    m_machine->SetChipPresent(true);

    // The driver completes a request on a vanished adapter without filling the record.
    m_machine->SetAdapterRemoved(true);
    EXPECT_EQ(QueryDriverReadingOutcome(IOCTL_READ_TEMP3, &value), ReadingOutcome::kFailed);
    m_machine->SetAdapterRemoved(false);

    host::UnloadDriver();
    EXPECT_EQ(QueryDriverReadingOutcome(IOCTL_READ_TEMP3, &value), ReadingOutcome::kNoDevice);
    EXPECT_EQ(value, 77u);
}

TEST_F(ReadingOutcomeTest, OneRefusedTransactionEmptiesOnlyItsOwnColumn) {
    m_machine->PinSensor(sim::Sensor::temp3, 0);
    m_machine->SetNackOnTransaction(1);  // the fan reading's first transaction
    std::string out;
    std::string err;
    const char* args[] = {"kestctl", "watch", "--count", "1", "--interval", "0", "--format", "csv"};
    ASSERT_EQ(RunKestctl(8, args, &out, &err), 0) << err;
    size_t line = out.find('\n') + 1;
    std::string sample = out.substr(out.find(',', line));
    // Fan empty; a VPU temperature of 0 is a reading like any other.
    EXPECT_EQ(sample.substr(0, 2), ",,") << sample;
    EXPECT_EQ(sample.substr(sample.size() - 3), ",0\n") << sample;
    EXPECT_EQ(std::count(sample.begin(), sample.end(), ','), 7);
}

}  // namespace
