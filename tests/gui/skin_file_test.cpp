#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <random>
#include <string>
#include <vector>

#include "skin/Sui2define.h"
#include "skin/Sui2skinreader.h"
#include "support/QtApp.h"
#include "tools/skin/SkinFileWriter.h"

namespace zelvar {
namespace skin_file_test {

using Bytes = std::vector<std::uint8_t>;
namespace sf = skinfile;

Bytes Inflated(const Bytes& packed, std::size_t limit) {
  Bytes out;
  EXPECT_TRUE(InflateStream(packed, out, limit));
  return out;
}

// Text-like data with repeats at near and far distances, and a run whose copies are longer than
// their distance.
Bytes Sample(std::size_t size) {
  std::mt19937 random(7);
  const std::vector<std::string> words = {"ZOR ", "programmer ", "skin ", "0x55AA ", "\n"};
  Bytes out;
  while (out.size() < size) {
    if (random() % 50 == 0) out.insert(out.end(), 300, 'a');
    const std::string& w = words[random() % words.size()];
    out.insert(out.end(), w.begin(), w.end());
    if (random() % 7 == 0) out.push_back(static_cast<std::uint8_t>(random()));
  }
  out.resize(size);
  return out;
}

TEST(Inflate, MatchesZlibForStoredFixedAndDynamicBlocks) {
  std::mt19937 random(3);
  Bytes noise(70000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  struct Case {
    const char* what;
    Bytes data;
    int level;
    int strategy;
  };
  const Case cases[] = {
      {"stored, several blocks", noise, 0, Z_DEFAULT_STRATEGY},
      {"fixed", Sample(100000), 9, Z_FIXED},
      {"dynamic, over the 32 KiB window", Sample(200000), 9, Z_DEFAULT_STRATEGY},
      {"dynamic, incompressible", noise, 6, Z_DEFAULT_STRATEGY},
      {"one long run: length beyond distance", Bytes(5000, 'x'), 9, Z_DEFAULT_STRATEGY},
      {"empty", Bytes{}, 9, Z_DEFAULT_STRATEGY},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes packed = sf::Deflate(c.data, c.level, c.strategy);
    ASSERT_FALSE(packed.empty());
    EXPECT_EQ(Inflated(packed, c.data.size()), c.data);
  }
}

TEST(Inflate, RefusesDamagedStreams) {
  const Bytes data = Sample(20000);
  const Bytes dynamic = sf::Deflate(data, 9);
  Bytes out;
  // Cut short, a block of type 3, a stored block whose length check fails, a distance before the
  // first byte, more output than the member declares.
  EXPECT_FALSE(InflateStream(Bytes(dynamic.begin(), dynamic.begin() + 500), out, data.size()));
  EXPECT_FALSE(InflateStream(Bytes{0x07}, out, 100));
  EXPECT_FALSE(InflateStream(Bytes{0x01, 0x05, 0x00, 0x00, 0x00, 1, 2, 3, 4, 5}, out, 100));
  // Fixed block: literal 'a' then length 3 at distance 2 (only one byte written).
  EXPECT_FALSE(InflateStream(Bytes{0x4b, 0x04, 0x42, 0x00}, out, 100));
  EXPECT_FALSE(InflateStream(dynamic, out, data.size() - 1));
  out.clear();
  EXPECT_TRUE(InflateStream(Bytes{0x4b, 0x4c, 0x04, 0x02, 0x00}, out, 100));
  EXPECT_EQ(std::string(out.begin(), out.end()), "aaaaa");
}

class SkinFileTest : public ::testing::Test {
 protected:
  std::string Write(const Bytes& bytes, const char* name = "test.ssk") {
    const QString path = dir_.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path.toStdString();
  }
  static sf::Record Bitmap(const std::string& name, QColor colour) {
    QImage image(6, 2, QImage::Format_RGB32);
    image.fill(colour);
    image.setPixelColor(0, 0, QColor(255, 0, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return sf::Record{name, sf::kBitmap, Bytes(bytes.begin(), bytes.end())};
  }
  // One record of each type, and an unknown type; the integer comes last.
  static std::vector<sf::Record> EveryType() {
    return {Bitmap("SKIN2_BUTTON", QColor(10, 20, 30)), sf::BoolRecord("SKIN2_BUTTONTRANS", true),
            sf::StringRecord("SKINNAME", "Test"), sf::Record{"ODD", 9, Bytes{1, 2}},
            sf::IntegerRecord("SKIN2_FORMCOLOR", 0x123456)};
  }
  QTemporaryDir dir_;
};

TEST_F(SkinFileTest, ReadsEveryRecordTypeTheLastIncludedInAnyCase) {
  Tsk2SkinFileReader reader(Write(sf::SkinFile(EveryType())), "");
  ASSERT_TRUE(reader.Loaded());
  EXPECT_EQ(reader.Error(), "");
  // The last record of the chain (next offset 0) is read too.
  EXPECT_EQ(reader.GetInteger("SKIN2_FORMCOLOR"), 0x123456);
  EXPECT_EQ(reader.GetInteger("skin2_FormColor"), 0x123456);
  EXPECT_TRUE(reader.GetBool("Skin2_ButtonTrans"));
  EXPECT_EQ(reader.GetStr("skinname"), "Test");
  const QImage* bitmap = reader.GetBitmap("skin2_button");
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->size(), QSize(6, 2));
  EXPECT_EQ(bitmap->pixelColor(1, 1), QColor(10, 20, 30));
  // Absent names, and a name that holds another type.
  EXPECT_EQ(reader.GetInteger("SKIN2_TITLEFONTCOLOR"), -1);
  EXPECT_EQ(reader.GetInteger("SKIN2_BUTTONTRANS"), -1);
  EXPECT_FALSE(reader.GetBool("SKIN2_TITLEFIVESECT"));
  EXPECT_EQ(reader.GetStr("ODD"), "");
  EXPECT_EQ(reader.GetBitmap("SKIN2_CHECKBOX"), nullptr);

  reader.SetInteger("skin2_formcolor", 7);
  reader.SetBool("NEW", true);
  reader.SetBitmap("SKIN2_CHECKBOX", QImage(1, 1, QImage::Format_RGB32));
  EXPECT_EQ(reader.GetInteger("SKIN2_FORMCOLOR"), 7);
  EXPECT_TRUE(reader.GetBool("new"));
  EXPECT_EQ(reader.GetBitmap("SKIN2_CHECKBOX"), nullptr);
  reader.ProcessTransparentColor(QColor(255, 0, 255));
  EXPECT_EQ(qAlpha(reader.GetBitmap("SKIN2_BUTTON")->pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(reader.GetBitmap("SKIN2_BUTTON")->pixel(1, 0)), 255);
}

TEST_F(SkinFileTest, ChainsOfOneAndNoRecordAndOddSizes) {
  Tsk2SkinFileReader one(Write(sf::SkinFile({sf::IntegerRecord("ONLY", 5)}), "one.ssk"), "");
  ASSERT_TRUE(one.Loaded());
  EXPECT_EQ(one.GetInteger("ONLY"), 5);
  Tsk2SkinFileReader none(Write(sf::SkinFile({}), "none.ssk"), "");
  EXPECT_TRUE(none.Loaded());
  // An integer record longer than 4 bytes gives its first 4; a boolean's first byte counts.
  sf::Record longInt{"LONG", sf::kInteger, Bytes{1, 0, 0, 0, 9, 9}};
  sf::Record longBool{"FLAG", sf::kBoolean, Bytes{0, 1}};
  Tsk2SkinFileReader odd(Write(sf::SkinFile({longInt, longBool}), "odd.ssk"), "");
  ASSERT_TRUE(odd.Loaded());
  EXPECT_EQ(odd.GetInteger("LONG"), 1);
  EXPECT_FALSE(odd.GetBool("FLAG"));
}

TEST_F(SkinFileTest, EncryptedMembersNeedTheirPassword) {
  const std::string path = Write(sf::SkinFile(EveryType(), "zor-skin"));
  Tsk2SkinFileReader right(path, "zor-skin");
  ASSERT_TRUE(right.Loaded());
  EXPECT_EQ(right.GetInteger("SKIN2_FORMCOLOR"), 0x123456);
  for (const char* wrong : {"", "zor-skin2", "ZOR-SKIN"}) {
    Tsk2SkinFileReader reader(path, wrong);
    EXPECT_FALSE(reader.Loaded()) << wrong;
    EXPECT_EQ(reader.Error(), kSkinReadFailed) << wrong;
  }
  // Stored, fixed and dynamic members all decrypt.
  const Bytes data = sf::SkinData(EveryType());
  const std::pair<int, Bytes> forms[] = {
      {0, {}}, {8, sf::Deflate(data, 9, Z_FIXED)}, {8, sf::Deflate(data, 9)}};
  for (const auto& [method, packed] : forms) {
    Tsk2SkinFileReader reader(Write(sf::ZipOne("SKINDATA.SK2", data, packed, method, "pw")), "pw");
    EXPECT_TRUE(reader.Loaded()) << method;
    EXPECT_EQ(reader.GetStr("SKINNAME"), "Test");
  }
}

// Each damaged copy is refused with the one message, never read outside its bytes (the
// sanitizers watch), and keeps no record.
TEST_F(SkinFileTest, DamagedFilesAreRefusedCleanly) {
  const Bytes data = sf::SkinData(EveryType());
  const Bytes good = sf::SkinFile(EveryType());
  const auto zipped = [](const Bytes& member) {
    return sf::ZipOne("SKINDATA.SK2", member, sf::Deflate(member, 9), 8);
  };
  const auto withMember = [&](auto change) {
    Bytes member = data;
    change(member);
    return zipped(member);
  };
  const std::size_t first = 24;  // the first record header
  const std::size_t last = data.size() - 4 - 77;
  struct Case {
    const char* what;
    Bytes file;
  };
  std::vector<Case> cases = {
      {"empty", {}},
      {"truncated",
       Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2))},
      {"end record cut off", Bytes(good.begin(), good.end() - 1)},
      {"damaged deflate data", good},
      {"directory past the end", good},
      {"archive comment", good},
      {"short file header", zipped(Bytes(data.begin(), data.begin() + 20))},
      {"header length past the end", withMember([](Bytes& m) { sf::Put32(m, 12, 1u << 30); })},
      {"first record past the end", withMember([](Bytes& m) { sf::Put32(m, 20, 0x7FFFFFF0u); })},
      {"record data past the end", withMember([&](Bytes& m) {
         sf::Put32(m, first + 69, static_cast<std::uint32_t>(m.size()));
       })},
      {"data offset wraps round",
       withMember([&](Bytes& m) { sf::Put32(m, last + 65, 0xFFFFFFFEu); })},
      {"next header past the end", withMember([&](Bytes& m) {
         sf::Put32(m, first + 73, static_cast<std::uint32_t>(m.size() - 10));
       })},
      {"chain loops back", withMember([&](Bytes& m) { sf::Put32(m, last + 73, first); })},
      {"name without its end",
       withMember([&](Bytes& m) { std::fill_n(m.begin() + first, 64, 'A'); })},
      {"short integer", zipped(sf::SkinData({sf::Record{"I", sf::kInteger, Bytes{1, 2}}}))},
      {"empty boolean", zipped(sf::SkinData({sf::Record{"B", sf::kBoolean, Bytes{}}}))},
      {"not a bitmap", zipped(sf::SkinData({sf::Record{"P", sf::kBitmap, Bytes{1, 2, 3}}}))},
  };
  // The deflate data sits after the 30-byte local header and the name.
  cases[3].file[30 + 12 + 40] ^= 0xFF;
  sf::Put32(cases[4].file, cases[4].file.size() - 6, 0xFFFFFF00u);
  cases[5].file.push_back('!');
  sf::Put16(cases[5].file, cases[5].file.size() - 3, 1);
  for (const Case& c : cases) {
    Tsk2SkinFileReader reader(Write(c.file), "");
    EXPECT_FALSE(reader.Loaded()) << c.what;
    EXPECT_EQ(reader.Error(), kSkinReadFailed) << c.what;
    EXPECT_EQ(reader.GetStr("SKINNAME"), "") << c.what;
  }
  Tsk2SkinFileReader missing(dir_.filePath("absent.ssk").toStdString(), "");
  EXPECT_EQ(missing.Error(), kSkinReadFailed);
  // A sound archive without the skin member is simply not a skin: refused without a message.
  Tsk2SkinFileReader other(Write(sf::ZipOne("README.TXT", data, sf::Deflate(data, 9), 8)), "");
  EXPECT_FALSE(other.Loaded());
  EXPECT_EQ(other.Error(), "");
}

// A member's declared size never makes the reader allocate more than its bytes can hold.
TEST_F(SkinFileTest, DeclaredSizesAreBoundedByTheBytesAndTheCap) {
  const Bytes zeros(1 << 20, 0);
  const auto declaring = [](Bytes file, std::uint32_t plain) {
    std::uint32_t dirAt = 0;  // the end record's directory offset
    for (int i = 3; i >= 0; --i) dirAt = dirAt << 8 | file[file.size() - 6 + i];
    sf::Put32(file, 22, plain);
    sf::Put32(file, dirAt + 24, plain);
    return file;
  };
  const Bytes honest = sf::ZipOne("SKINDATA.SK2", zeros, sf::Deflate(zeros, 9), 8);
  ASSERT_LT(honest.size(), zeros.size() / 500) << "zeros pack tightly";
  Bytes out;
  EXPECT_EQ(ExtractMember(honest, kSkinMember, "", out), ExtractResult::Extracted);
  EXPECT_EQ(out.size(), zeros.size());
  std::mt19937 random(7);
  Bytes noise(80 << 10);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  const Bytes big(kMaxSkinBytes + 1, 0);
  const Bytes pastCap = sf::ZipOne("SKINDATA.SK2", big, sf::Deflate(big, 9), 8);
  const struct {
    const char* what;
    Bytes file;
  } cases[] = {
      {"4 GiB declared", declaring(honest, 0xFFFFFFFFu)},
      {"more than deflate can pack", declaring(honest, 2u << 20)},
      {"past the cap, honestly declared", pastCap},
      {"stored with a larger size",
       declaring(sf::ZipOne("SKINDATA.SK2", noise, {}, 0), (80 << 10) + 1)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractMember(c.file, kSkinMember, "", out), ExtractResult::Failed) << c.what;
    EXPECT_TRUE(out.empty()) << c.what;
    Tsk2SkinFileReader reader(Write(c.file), "");
    EXPECT_EQ(reader.Error(), kSkinReadFailed) << c.what;
  }
  // A file larger than any skin is refused unread.
  Bytes huge = honest;
  huge.insert(huge.begin(), kMaxSkinBytes, 0);
  EXPECT_EQ(Tsk2SkinFileReader(Write(huge), "").Error(), kSkinReadFailed);
}

TEST_F(SkinFileTest, OurSkinsHoldEveryValueTheyName) {
  for (const char* name : {"Slate.ssk", "Amber.ssk"}) {
    SCOPED_TRACE(name);
    Tsk2SkinFileReader reader(name, "");
    ASSERT_TRUE(reader.Loaded());
    for (int c = 0; c < kSkin2ColorCount; ++c)
      EXPECT_NE(reader.GetInteger(std::string(Skin2Key(c))), -1) << Skin2Key(c);
    for (Tsk2SkinBitmapElement e :
         {SKIN2_TITLEBAR1, SKIN2_TITLEBAR2, SKIN2_TITLEBAR3, SKIN2_BUTTON, SKIN2_CHECKBOX,
          SKIN2_RADIOBUTTON, SKIN2_PROGRESSBAR2, SKIN2_TABCONTROL, SKIN2_TITLEBUTTONS}) {
      const QImage* bitmap = reader.GetBitmap(std::string(Skin2Key(e)));
      ASSERT_NE(bitmap, nullptr) << Skin2Key(e);
      EXPECT_FALSE(bitmap->isNull());
    }
    EXPECT_EQ(reader.GetStr("SKINNAME"), name);
  }
}

}  // namespace skin_file_test
}  // namespace zelvar
