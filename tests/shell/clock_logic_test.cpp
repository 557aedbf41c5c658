// The Qt-free clock pieces: board table, divider decoding, the clock settings file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/clock/board_table.h"
#include "app/clock/clock_dividers.h"
#include "app/clock/clock_file.h"
#include "tests/shell/scratch_dir.h"

namespace {

TEST(BoardTable, RowsMatchOnAdapterThenSubsystem) {
    struct Case {
        uint32_t adapter, subsystem;
        const char* model;
        uint32_t engine, memory;
        int picture;
    };
    const Case cases[] = {
        {0x41501002, 0x01021D5A, "ATI RADEON9600PRO", 400, 275, 176},
        {0x41501002, 0x12345678, "ATI RADEON9600PRO", 400, 300, 176},
        {0x4E441002, 0x00F21D5A, "ATI RADEON9500PRO", 277, 271, 169},
        {0x4E441002, 0x00000000, "ATI RADEON9700PRO", 325, 311, 156},
        {0x4E451002, 0x00F21D5A, "ATI RADEON9500PRO", 277, 271, 169},
        {0x4E481002, 0x01021D5A, "ATI RADEON9800PRO", 380, 340, 176},
        {0x59611002, 0x00000000, "ATI RADEON9200", 250, 200, 173},
    };
    for (const Case& c : cases) {
        const BoardRow* row = FindBoardRow(c.adapter, c.subsystem);
        ASSERT_NE(row, nullptr) << std::hex << c.adapter;
        EXPECT_STREQ(row->lpszModel, c.model);
        EXPECT_EQ(row->nDefaultEngine, c.engine);
        EXPECT_EQ(row->nDefaultMemory, c.memory);
        EXPECT_EQ(row->nPicture, c.picture);
    }
    EXPECT_EQ(FindBoardRow(0x51591002, 0), nullptr);
    EXPECT_EQ(FindBoardRow(0, 0), nullptr);
    EXPECT_FALSE(FindBoardRow(0x59611002, 0)->bTunable);
}

TEST(BoardTable, WindowsDifferBetweenStartUpAndPanel) {
    const BoardRow* a = FindBoardRow(0x41501002, 0x01021D5A);
    // Engine 600 is kept by the dialog's window but replaced at start-up.
    EXPECT_EQ(ClampToWindow(600, a->engineWindow), 600u);
    EXPECT_EQ(ClampToWindow(600, a->engineStartWindow), 400u);
    EXPECT_EQ(ClampToWindow(349, a->engineWindow), 400u);
    const BoardRow* r9800 = FindBoardRow(0x4E481002, 0);
    EXPECT_EQ(ClampToWindow(900, r9800->engineWindow), 380u);
    EXPECT_EQ(ClampToWindow(0xFFFFFF9Cu, r9800->memoryWindow), 340u);  // -100 compared unsigned
    EXPECT_EQ(ClampToWindow(300, r9800->memoryWindow), 300u);
    EXPECT_EQ(ClampToWindow(381, r9800->memoryWindow), 340u);
}

TEST(BoardTable, SnapTestsOneMemberPerBoard) {
    struct Case {
        uint32_t adapter, subsystem;
        int engine, memory;
        int wantEngine, wantMemory;
        bool applied;
    };
    const Case cases[] = {
        {0x4E481002, 0, 380, 341, 380, 340, true},
        {0x4E481002, 0, 380, 343, 380, 343, false},
        {0x4E481002, 0, 379, 339, 379, 339, false},
        {0x4E441002, 0x00F21D5A, 277, 270, 277, 271, true},
        {0x4E441002, 0, 324, 310, 325, 310, true},
        {0x4E441002, 0, 323, 310, 323, 310, false},
        {0x41501002, 0, 400, 299, 400, 300, true},
        {0x41501002, 0x01021D5A, 400, 299, 400, 299, false},
        {0x4E451002, 0, 276, 270, 276, 270, false},
        {0x59611002, 0, 249, 199, 249, 199, false},
    };
    for (const Case& c : cases) {
        int engine = c.engine;
        int memory = c.memory;
        EXPECT_EQ(SnapToNominal(*FindBoardRow(c.adapter, c.subsystem), &engine, &memory),
                  c.applied);
        EXPECT_EQ(engine, c.wantEngine);
        EXPECT_EQ(memory, c.wantMemory);
    }
}

TEST(ClockDividers, DecodesWithBothPostFactors) {
    uint32_t engine = 1;
    uint32_t memory = 2;
    // 132 x 54 / (11 x 2) = 324, 127 x 54 / (11 x 2) = 311.
    EXPECT_EQ(DecodeDividerWord(0x12847F0B, 2, 1, &engine, &memory), DecodeStatus::kOk);
    EXPECT_EQ(engine, 324u);
    EXPECT_EQ(memory, 311u);
    EXPECT_EQ(DecodeDividerWord(0x00A37A0B, 2, 2, &engine, &memory), DecodeStatus::kOk);
    EXPECT_EQ(engine, 400u);
    EXPECT_EQ(memory, 299u);
    EXPECT_EQ(DecodeDividerWord(0x00A37A0B, 1, 4, &engine, &memory), DecodeStatus::kOk);
    EXPECT_EQ(engine, 800u);
    EXPECT_EQ(memory, 74u);
}

TEST(ClockDividers, BadSelectorsAndMissingReferenceLeaveClocks) {
    for (uint32_t bad : {0u, 5u, 6u, 7u, 8u}) {
        uint32_t engine = 111;
        uint32_t memory = 222;
        EXPECT_EQ(DecodeDividerWord(0x00A37A0B, bad, 2, &engine, &memory),
                  DecodeStatus::kBadEnginePost);
        EXPECT_EQ(engine, 111u);
        EXPECT_EQ(DecodeDividerWord(0x00A37A0B, 2, bad, &engine, &memory),
                  DecodeStatus::kBadMemoryPost);
        EXPECT_EQ(engine, 400u);
        EXPECT_EQ(memory, 222u);
    }
    uint32_t engine = 111;
    uint32_t memory = 222;
    EXPECT_EQ(DecodeDividerWord(0x00A37A00, 2, 2, &engine, &memory), DecodeStatus::kNoReference);
    EXPECT_EQ(engine, 111u);
    EXPECT_EQ(memory, 222u);
    EXPECT_EQ(EnginePostFactor(0x0C), 8u);  // only the low 3 bits select
    EXPECT_EQ(MemoryPostFactor(1), MemoryPostFactor(2));
}

class ClockFileTest : public ::testing::Test {
protected:
    kesttest::ScratchDir m_dir;
};

TEST_F(ClockFileTest, WritesEightBytesLittleEndian) {
    ASSERT_TRUE(WriteClockFile(325, 311));
    EXPECT_EQ(m_dir.Read("kest.txt"), std::string("\x45\x01\x00\x00\x37\x01\x00\x00", 8));
    const StoredClocks stored = ReadClockFile();
    EXPECT_TRUE(stored.bOpened && stored.bHaveEngine && stored.bHaveMemory);
    EXPECT_EQ(stored.nEngine, 325);
    EXPECT_EQ(stored.nMemory, 311);
    ASSERT_TRUE(WriteClockFile(-1, 900));
    EXPECT_EQ(ReadClockFile().nEngine, -1);
    EXPECT_EQ(m_dir.Names(), std::vector<std::string>{"kest.txt"});  // no temporary left over
}

TEST_F(ClockFileTest, ShortAndLongFilesDeliverWholeFieldsOnly) {
    struct Case {
        std::string bytes;
        bool engine, memory;
    };
    const Case cases[] = {
        {"", false, false},
        {std::string("\x45\x01\x00", 3), false, false},
        {std::string("\x45\x01\x00\x00\x37\x01\x00", 7), true, false},
        {std::string("\x45\x01\x00\x00\x37\x01\x00\x00\x01\x02\x03\x04", 12), true, true},
    };
    for (const Case& c : cases) {
        m_dir.Write("kest.txt", c.bytes);
        const StoredClocks stored = ReadClockFile();
        EXPECT_TRUE(stored.bOpened);
        EXPECT_EQ(stored.bHaveEngine, c.engine) << c.bytes.size();
        EXPECT_EQ(stored.bHaveMemory, c.memory) << c.bytes.size();
        if (c.memory) {
            EXPECT_EQ(stored.nMemory, 311);
        }
    }
}

TEST_F(ClockFileTest, MissingFileIsNotCreatedByReading) {
    EXPECT_FALSE(ReadClockFile().bOpened);
    EXPECT_TRUE(m_dir.Names().empty());
}

TEST_F(ClockFileTest, ReadOnlyFileIsMadeWritableAndKeepsItsMode) {
    m_dir.Write("kest.txt", std::string(8, '\0'));
    ASSERT_EQ(chmod("kest.txt", 0444), 0);
    EXPECT_TRUE(ReadClockFile().bOpened);
    ASSERT_EQ(chmod("kest.txt", 0440), 0);
    ASSERT_TRUE(WriteClockFile(380, 340));
    struct stat st {};
    ASSERT_EQ(stat("kest.txt", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(ReadClockFile().nMemory, 340);
}

TEST_F(ClockFileTest, DirectoryInItsPlaceIsNeitherReadNorReplaced) {
    ASSERT_EQ(mkdir("kest.txt", 0755), 0);
    EXPECT_FALSE(ReadClockFile().bOpened);
    EXPECT_FALSE(WriteClockFile(380, 340));
    EXPECT_EQ(m_dir.Names(), std::vector<std::string>{"kest.txt"});
}

TEST_F(ClockFileTest, ReplacesTheFileRatherThanOverwritingIt) {
    ASSERT_TRUE(WriteClockFile(325, 311));
    struct stat before {};
    ASSERT_EQ(stat("kest.txt", &before), 0);
    ASSERT_TRUE(WriteClockFile(324, 310));
    struct stat after {};
    ASSERT_EQ(stat("kest.txt", &after), 0);
    // A new file took the name: a crash while writing would have left the old one whole.
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_EQ(ReadClockFile().nEngine, 324);
}

TEST_F(ClockFileTest, ReadOnlyDirectoryStillTakesTheClocks) {
    m_dir.Write("kest.txt", std::string(8, '\0'));
    ASSERT_EQ(chmod(".", 0555), 0);
    const bool written = WriteClockFile(277, 271);
    ASSERT_EQ(chmod(".", 0755), 0);
    EXPECT_TRUE(written);
    EXPECT_EQ(ReadClockFile().nEngine, 277);
    EXPECT_EQ(m_dir.Names(), std::vector<std::string>{"kest.txt"});
    // Without the file a read-only directory takes nothing, unless we may write anywhere.
    ASSERT_EQ(unlink("kest.txt"), 0);
    ASSERT_EQ(chmod(".", 0555), 0);
    const bool created = WriteClockFile(277, 271);
    ASSERT_EQ(chmod(".", 0755), 0);
    EXPECT_EQ(created, geteuid() == 0);
}

}  // namespace
