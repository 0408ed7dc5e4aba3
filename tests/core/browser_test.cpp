// The about page and the mail program that the room's and the map's buttons open: which
// address each hands to the desktop's opener, read from the volume's about page and contact file.
#include <gtest/gtest.h>

#include <cstring>

#include "core/browser.h"
#include "core/core.h"
#include "platform/files.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

namespace {

struct BrowserTest : ::testing::Test {
    TempFolder folder;
    std::string root;  // a data root whose name needs escaping in an address
    char savedRoot[sizeof dataRoot];

    void SetUp() override {
        root = folder / "my atlas";
        ASSERT_TRUE(MakeDirectories(root.c_str()));
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", root.c_str());
    }
    void TearDown() override {
        memcpy(dataRoot, savedRoot, sizeof dataRoot);
    }
    // The addresses handed to the opener, in order: the about page `pages` times, then the
    // mail program `mails` times.
    std::vector<std::string> Press(int pages, int mails) {
        TestClearShown();
        for (int i = 0; i < pages; i++) OpenAboutPage();
        for (int i = 0; i < mails; i++) OpenMailProgram();
        return TestOpenedAddresses();
    }
};

TEST_F(BrowserTest, WebButtonsOpenTheVolumesAboutPageAsAFileAddress) {
    ASSERT_TRUE(WriteTestText(root + "/about.html", "<html></html>"));
    std::string expected = "file://" + folder.path + "/my%20atlas/about.html";
    std::vector<std::string> opened = Press(2, 0);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], expected);
    EXPECT_EQ(opened[1], expected);
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(BrowserTest, WithoutAnAboutPageTheWebButtonsSaySoAndOpenNothing) {
    std::vector<std::string> opened = Press(2, 0);
    EXPECT_TRUE(opened.empty());
    ASSERT_EQ(TestShownMessages().size(), 2u);
    EXPECT_EQ(TestLastMessage(),
              "This data volume has no page about Mundora (about.html). Build the volume again with mundora-volume to "
              "add it.");
}

TEST_F(BrowserTest, MailButtonWritesToTheVolumesContactOrToNobody) {
    struct Case {
        const char* file;  // contact.txt, or nullptr for none
        const char* address;
    } cases[] = {
        {nullptr, "mailto:?subject=Mundora"},
        {"atlas@example.net\r\n", "mailto:atlas@example.net?subject=Mundora"},
        {"  first.last+maps@example.org  \n", "mailto:first.last+maps@example.org?subject=Mundora"},
        {"", "mailto:?subject=Mundora"},
    };
    for (const Case& c : cases) {
        std::string contact = root + "/contact.txt";
        RemoveFile(contact.c_str());
        if (c.file) {
            ASSERT_TRUE(WriteTestText(contact, c.file));
        }
        std::vector<std::string> opened = Press(0, 1);
        ASSERT_EQ(opened.size(), 1u) << (c.file ? c.file : "none");
        EXPECT_EQ(opened[0], c.address) << (c.file ? c.file : "none");
    }
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST(FileAddress, EscapesEverythingButPlainPathCharacters) {
    struct Case {
        const char* path;
        const char* address;
    } cases[] = {
        {"/usr/share/mundora/volume/about.html", "file:///usr/share/mundora/volume/about.html"},
        {"/home/ana/My Atlas/about.html", "file:///home/ana/My%20Atlas/about.html"},
        {"/media/cd#1/50%/a?b.html", "file:///media/cd%231/50%25/a%3Fb.html"},
        {"/home/zo\xC3\xAB/about.html", "file:///home/zo%C3%AB/about.html"},
    };
    for (const Case& c : cases) EXPECT_EQ(FileAddress(c.path), c.address) << c.path;
    // A path relative to the working directory becomes absolute.
    std::string relative = FileAddress("volume/about.html");
    EXPECT_EQ(relative.rfind("file:///", 0), 0u) << relative;
    EXPECT_NE(relative.find("/volume/about.html"), std::string::npos) << relative;
}

}  // namespace
