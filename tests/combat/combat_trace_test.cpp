// The combat trace of one short fight, compared line by line with the
// text the game must write (Windows-1251 bytes, kept in data/).
#include <sstream>
#include <vector>

#include "combat_fixture.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

}  // namespace

TEST_F(CombatTest, TraceOfOneFightMatchesTheExpectedText) {
    Fgr* hero = Hero();
    Fgr* sword = MakeHandItem(kHandSword, 2, 12);
    ASSERT_TRUE(AttachByRole(hero, sword, kRoleInHand));
    Fgr* dog = Monster(5, hero->x + 20, hero->z);
    FgrSetName(dog, "Rex");
    AuraPass(hero);
    AuraPass(dog);
    // Two lightning hits, then after a pause the dog bites back.
    for (int clock : {100, 3200}) {
        gameClockMs = clock;
        DealHit(hero, hero->kor.pBuf, hero->guns, dog);
    }
    gameClockMs = 12000;
    DealHit(dog, dog->kor.pBuf, dog->guns, hero);

    std::ifstream in(BD_TRACE_EXPECTED, std::ios::binary);
    ASSERT_TRUE(in) << BD_TRACE_EXPECTED;
    const std::string expected((std::istreambuf_iterator<char>(in)), {});
    const std::string actual = Log();
    const auto want = Lines(expected), got = Lines(actual);
    for (std::size_t i = 0; i < want.size() && i < got.size(); ++i) EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
    EXPECT_EQ(got.size(), want.size());
    if (actual != expected) std::ofstream(tempDir + "/../bd_trace_actual.txt", std::ios::binary) << actual;
}
