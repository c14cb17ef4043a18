#include <QFile>

#include "data/gbk.h"
#include "data/profile.h"
#include "data/settings.h"
#include "testutil.h"

namespace {

class ProfileTest : public TempFolderTest {
protected:
    void WriteRaw(const QByteArray& bytes) {
        QFile f("vemoconf.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray ReadRaw() {
        QFile f("vemoconf.ini");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    const QString file = settings::SettingsFile();
};

TEST_F(ProfileTest, NamesAreCaseInsensitiveAndMissingKeysGiveTheDefault) {
    WriteRaw(ToGbk(QStringLiteral("[INFO]\r\nCount = 2\r\n[Department1]\r\nName=生产部\r\n")));
    EXPECT_EQ(profile::GetInt("info", "COUNT", 0, file), 2);
    EXPECT_EQ(profile::GetString("DEPARTMENT1", "name", "x", file), QStringLiteral("生产部"));
    EXPECT_EQ(profile::GetString("department1", "number", "默认", file), QStringLiteral("默认"));
    EXPECT_EQ(profile::GetInt("department1", "number", 7, file), 7);
    EXPECT_EQ(profile::GetInt("department1", "name", 7, file), 0) << "a value without digits";
    EXPECT_EQ(profile::GetString("object", "name1", "", "no-such-file.ini"), "");
}

TEST_F(ProfileTest, ValuesAreCutAt259Bytes) {
    const QString longName(200, QChar(0x90E8));  // 400 GBK bytes
    ASSERT_TRUE(profile::WriteString("department1", QStringLiteral("name"), longName, file));
    const QString read = profile::GetString("department1", "name", "", file);
    EXPECT_EQ(read.size(), 129);
    EXPECT_LE(ToGbk(read).size(), profile::kMaxValueBytes);
    const QString ascii(300, 'a');
    profile::WriteString("x", QStringLiteral("y"), ascii, file);
    EXPECT_EQ(profile::GetString("x", "y", "", file).size(), 259);
}

TEST_F(ProfileTest, WritingIsGbkAndKeepsTheRestOfTheFile) {
    WriteRaw("; comment\r\n[object]\r\nname1=a\r\n\r\n[other]\r\nk=v\r\n");
    ASSERT_TRUE(
        profile::WriteString("OBJECT", QStringLiteral("NAME2"), QStringLiteral("管理人员"), file));
    ASSERT_TRUE(profile::WriteString("object", QStringLiteral("name1"), QStringLiteral("b"), file));
    const QByteArray raw = ReadRaw();
    EXPECT_TRUE(raw.contains(ToGbk(QStringLiteral("NAME2=管理人员"))));
    EXPECT_TRUE(raw.startsWith("; comment\r\n"));
    EXPECT_TRUE(raw.contains("name1=b\r\nNAME2="));
    EXPECT_EQ(profile::GetString("other", "k", "", file), "v");
}

TEST_F(ProfileTest, ASectionWithoutKeyOrAKeyWithoutValueIsDeleted) {
    profile::WriteString("department1", QStringLiteral("name"), QStringLiteral("a"), file);
    profile::WriteString("department2", QStringLiteral("name"), QStringLiteral("b"), file);
    profile::WriteString("department2", QStringLiteral("job1"), QStringLiteral("c"), file);
    ASSERT_TRUE(profile::WriteString("Department1", std::nullopt, std::nullopt, file));
    EXPECT_EQ(profile::GetString("department1", "name", "gone", file), "gone");
    ASSERT_TRUE(profile::WriteString("department2", QStringLiteral("NAME"), std::nullopt, file));
    EXPECT_EQ(profile::GetString("department2", "name", "gone", file), "gone");
    EXPECT_EQ(profile::GetString("department2", "job1", "", file), "c");
    EXPECT_FALSE(ReadRaw().contains("department1"));
}

TEST_F(ProfileTest, Utf8FilesAreReadWithAndWithoutBom) {
    const QByteArray body = QStringLiteral("[object]\nname1=一线员工\n").toUtf8();
    WriteRaw("\xEF\xBB\xBF" + body);
    EXPECT_EQ(profile::GetString("object", "name1", "", file), QStringLiteral("一线员工"));
    WriteRaw(body);
    EXPECT_EQ(profile::GetString("object", "name1", "", file), QStringLiteral("一线员工"));
}

TEST_F(ProfileTest, GbkBytesThatPassAsUtf8AreStillReadAsGbk) {
    // In GBK each of these names is also valid UTF-8: two-byte characters, three-byte ones
    // outside Chinese text (岚多方 reads as U+1C36 U+0DFD; 岚鹃福 partly as CJK), or a lead
    // byte F0 that must not pass for the lead byte of a three-byte character (甬倉).
    for (const QString& name : {QStringLiteral("学院"), QStringLiteral("职员"),
                                QStringLiteral("学员"), QStringLiteral("岚多方"),
                                QStringLiteral("岚鹃福"), QStringLiteral("岚多芳"),
                                QStringLiteral("甬倉")}) {
        WriteRaw(ToGbk("[department1]\r\nname=" + name + "\r\n"));
        EXPECT_EQ(profile::GetString("department1", "name", "", file), name);
        ASSERT_TRUE(profile::WriteString("department1", QStringLiteral("number"), "1", file));
        EXPECT_EQ(ReadRaw(), ToGbk("[department1]\r\nname=" + name + "\r\nnumber=1\r\n"))
            << "a write keeps the name's bytes";
    }
    WriteRaw(QStringLiteral("[x]\nk=é学\n").toUtf8());  // a two-byte character: not our UTF-8
    EXPECT_NE(profile::GetString("x", "k", "", file), QStringLiteral("é学"));
    // Chinese punctuation, full-width forms and an extension ideograph stay UTF-8.
    const QString punctuated = QStringLiteral("“一线”员工——　（Ａ）\U00020000");
    WriteRaw("[x]\nk=" + punctuated.toUtf8() + "\n");
    EXPECT_EQ(profile::GetString("x", "k", "", file), punctuated);
}

TEST_F(ProfileTest, DeletingAKeyRemovesEveryOccurrence) {
    WriteRaw("[object]\r\nname1=a\r\nname2=b\r\nNAME1=c\r\n[other]\r\nname1=d\r\n");
    ASSERT_TRUE(profile::WriteString("object", QStringLiteral("name1"), std::nullopt, file));
    EXPECT_EQ(profile::GetString("object", "name1", "gone", file), "gone");
    EXPECT_EQ(profile::GetString("other", "name1", "", file), "d");
    EXPECT_EQ(profile::GetString("object", "name2", "", file), "b");
}

TEST_F(ProfileTest, DepartmentReadersFollowTheCountAndTheSectionNumbers) {
    WriteRaw(
        ToGbk(QStringLiteral("[INFO]\r\nCount=2\r\n[department1]\r\nname=生产部\r\nnumber=3\r\n"
                             "job1=班组长\r\njob2=操作工\r\n")));
    EXPECT_EQ(settings::DepartmentNames(), QStringList({QStringLiteral("生产部"), "没找到信息"}));
    EXPECT_EQ(settings::PositionsOf(0),
              QStringList({QStringLiteral("班组长"), QStringLiteral("操作工"), "没找到信息"}));
    EXPECT_TRUE(settings::PositionsOf(1).isEmpty());
    EXPECT_TRUE(settings::PositionsOf(-1).isEmpty());

    profile::WriteString("department2", QStringLiteral("name"), QStringLiteral("技术部"), file);
    profile::WriteString("department2", QStringLiteral("number"), QStringLiteral("1"), file);
    profile::WriteString("department2", QStringLiteral("job1"), QStringLiteral("工程师"), file);
    EXPECT_EQ(settings::PositionsOf(1), QStringList({QStringLiteral("工程师")}));
}

TEST_F(ProfileTest, TargetGroupsKeepTheirSlots) {
    profile::WriteString("object", QStringLiteral("name1"), QStringLiteral("甲"), file);
    profile::WriteString("object", QStringLiteral("name3"), QStringLiteral("丙"), file);
    EXPECT_EQ(settings::TargetGroupSlots(), QStringList({"甲", "", "丙", ""}));
    EXPECT_EQ(settings::TargetGroups(), QStringList({"甲", "丙"}));
}

TEST_F(ProfileTest, AHugeCountDoesNotHang) {
    WriteRaw("[INFO]\r\nCount=2000000000\r\n");
    EXPECT_EQ(settings::DepartmentNames().size(), 999);
}

}  // namespace
