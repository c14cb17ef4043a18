#include <QFile>

#include "data/gbk.h"
#include "data/settings.h"
#include "data/settingswriter.h"
#include "testutil.h"

namespace {

class SettingsWriterTest : public TempFolderTest {
protected:
    void WriteRaw(const QString& text) {
        QFile f("vemoconf.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ToGbk(text));
    }
    QByteArray ReadRaw() {
        QFile f("vemoconf.ini");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(SettingsWriterTest, SavingReplacesTheOldDepartmentsByteForByte) {
    WriteRaw(
        "[INFO]\r\nCount=3\r\n[department1]\r\nname=生产部\r\nnumber=1\r\njob1=操作工\r\n"
        "[department2]\r\nname=技术部\r\n[department3]\r\nname=安全部\r\n"
        "[object]\r\nname1=一线员工\r\nname2=\r\nname3=\r\nname4=\r\n");
    ASSERT_TRUE(settings::WriteOrganisation({{"甲", {"x", "y"}}, {"乙", {}}}));
    EXPECT_EQ(ReadRaw(), ToGbk("[object]\r\nname1=一线员工\r\nname2=\r\nname3=\r\nname4=\r\n"
                               "[department1]\r\nname=甲\r\njob1=x\r\njob2=y\r\nnumber=2\r\n"
                               "[department2]\r\nname=乙\r\n[INFO]\r\nCount=2\r\n"));
}

TEST_F(SettingsWriterTest, PlaceholdersOfMissingEntriesAreWrittenBackAsText) {
    // A department without "number" has no positions, whatever job keys it holds.
    WriteRaw(
        "[INFO]\r\nCount=3\r\n[department1]\r\nname=生产部\r\nnumber=2\r\njob1=操作工\r\n"
        "[department2]\r\nname=技术部\r\njob1=不算\r\n");
    const auto read = settings::ReadOrganisation();
    EXPECT_EQ(read,
              std::vector<settings::Department>(
                  {{"生产部", {"操作工", "没找到信息"}}, {"技术部", {}}, {"没找到信息", {}}}));
    ASSERT_TRUE(settings::WriteOrganisation(read));
    EXPECT_EQ(ReadRaw(), ToGbk("[department1]\r\nname=生产部\r\njob1=操作工\r\njob2=没找到信息\r\n"
                               "number=2\r\n[department2]\r\nname=技术部\r\n"
                               "[department3]\r\nname=没找到信息\r\n[INFO]\r\nCount=3\r\n"));
}

TEST_F(SettingsWriterTest, TargetGroupsAreUsedInOrder) {
    const struct {
        QStringList edits;
        QStringList stored;
    } cases[] = {
        {{"A", "", "C", "D"}, {"A", "", "", ""}},
        {{"A", "B", "", "D"}, {"A", "B", "", ""}},
        {{"甲", "乙", "丙", "丁"}, {"甲", "乙", "丙", "丁"}},
    };
    for (const auto& c : cases) {
        const auto saved = settings::SaveTargetGroups(c.edits);
        EXPECT_TRUE(saved.refusal.isEmpty());
        EXPECT_EQ(saved.groupSlots, c.stored);
        EXPECT_EQ(settings::TargetGroupSlots(), c.stored);
    }
    const auto refused = settings::SaveTargetGroups({"", "x", "y", "z"});
    EXPECT_EQ(refused.refusal, "第一个对象不能为空！");
    EXPECT_EQ(refused.groupSlots, QStringList({"甲", "乙", "丙", "丁"}));
    // Only what differs is written: name2 was never written before the second case.
    EXPECT_EQ(ReadRaw(), ToGbk("[object]\r\nname1=甲\r\nname3=丙\r\nname4=丁\r\nname2=乙\r\n"));
}

}  // namespace
