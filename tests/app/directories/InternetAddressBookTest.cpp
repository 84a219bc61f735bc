#include "directories/InternetAddressBook.h"

#include "DirectoryTestSupport.h"
#include "RecordingPrompt.h"
#include "VCardChecker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> cardFiles(const std::string& folder)
{
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        files.push_back(entry.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class InternetAddressBookTest : public testing::Test
{
protected:
    void SetUp() override
    {
        folder = registry.dir().file("home/data/contacts");
        setPath("home", registry.dir().file("home"));
        ASSERT_TRUE(book.locate()) << book.lastErrorText();
        ASSERT_TRUE(book.open());
    }

    std::string onlyFileText()
    {
        const std::vector<std::string> files = cardFiles(folder);
        EXPECT_EQ(files.size(), 1u);
        return files.empty() ? std::string()
                             : registry.dir().read("home/data/contacts/" + files[0]);
    }

    std::vector<std::pair<std::string, std::string>> entries()
    {
        CollectingVisitor visitor;
        EXPECT_TRUE(book.enumerate(visitor));
        return visitor.entries;
    }

    ScopedRegistry registry;
    std::string folder;
    std::shared_ptr<RecordingPrompt> prompt = std::make_shared<RecordingPrompt>();
    InternetAddressBook book {prompt};
};

TEST_F(InternetAddressBookTest, FolderIsCreatedAndWrittenToTheSettings)
{
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(readString(adbKey, "internetAdb"), folder);
    EXPECT_EQ(book.location(), folder);
    EXPECT_TRUE(book.isOpen());
    EXPECT_TRUE(book.isWritable());
    EXPECT_FALSE(book.isDisabled());
    EXPECT_TRUE(prompt->ofKind("message").empty());
}

TEST_F(InternetAddressBookTest, AddedEntryIsAValidCardFileAndReadsBack)
{
    ASSERT_TRUE(book.add("Jones, Pat", "555,,1234/12")) << book.lastErrorText();
    const std::vector<std::string> files = cardFiles(folder);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(files[0].size() == 40 && files[0].ends_with(".vcf")) << files[0];
    const std::string text = onlyFileText();
    const std::vector<std::string> problems = checkVCard4(text);
    EXPECT_TRUE(problems.empty()) << problems.front() << "\n" << text;
    EXPECT_NE(text.find("UID:urn:uuid:" + files[0].substr(0, 36) + "\r\n"), std::string::npos);

    InternetAddressBook other; // a second reader, as another process would be
    ASSERT_TRUE(other.open());
    std::string info;
    ASSERT_TRUE(other.getPagerInfo("JONES, PAT", info)) << other.lastErrorText();
    EXPECT_EQ(info, "555,,1234/12");
}

TEST_F(InternetAddressBookTest, LookUpErrorsAre141And142)
{
    registry.dir().write("home/data/contacts/nopager.vcf",
                         "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:No Pager\r\nTEL;TYPE=HOME:1\r\n"
                         "END:VCARD\r\n");
    std::string info;
    EXPECT_FALSE(book.getPagerInfo("Nobody", info));
    EXPECT_EQ(book.lastErrorCode(), 0x3008D);
    EXPECT_EQ(book.lastErrorText(), "Address Book Error: entry not found");
    EXPECT_FALSE(book.getPagerInfo("no pager", info));
    EXPECT_EQ(book.lastErrorCode(), 0x3008E);
    EXPECT_EQ(book.lastErrorText(), "Invalid Address: bad  or empty pager phone number");
}

TEST_F(InternetAddressBookTest, FindLikeReturnsTheFirstInFileOrderWholeAndInStoredCase)
{
    registry.dir().write("home/data/contacts/b.vcf",
                         "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:MARY Smith\r\nEND:VCARD\r\n");
    registry.dir().write("home/data/contacts/a.vcf",
                         "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Martin Jones\r\nEND:VCARD\r\n");
    std::string name;
    EXPECT_TRUE(book.findLike("ma", name));
    EXPECT_EQ(name, "Martin Jones");
    EXPECT_TRUE(book.findLike("MARY", name));
    EXPECT_EQ(name, "MARY Smith");
    EXPECT_FALSE(book.findLike("Mary Smithers", name)); // longer than every name
    EXPECT_EQ(book.lastErrorCode(), 0x3008D);
}

TEST_F(InternetAddressBookTest, SearchesReadTheFirst1024EntriesOnly)
{
    for (int i = 0; i < 1025; ++i) {
        char file[32];
        std::snprintf(file, sizeof file, "%05d.vcf", i);
        registry.dir().write(std::string("home/data/contacts/") + file,
                             "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Person " + std::to_string(i)
                                 + "\r\nTEL;TYPE=PAGER:1/" + std::to_string(i + 1)
                                 + "\r\nEND:VCARD\r\n");
    }
    std::string info;
    EXPECT_TRUE(book.getPagerInfo("Person 1023", info));
    EXPECT_EQ(info, "1/1024");
    EXPECT_FALSE(book.getPagerInfo("Person 1024", info));
    EXPECT_EQ(entries().size(), 1024u);
}

TEST_F(InternetAddressBookTest, UpdateKeepsEveryOtherLineOfAForeignCard)
{
    const std::string original = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Pat\r\nN:;Pat;;;\r\n"
                                 "EMAIL;TYPE=INTERNET:pat@example.com\r\nTEL;TYPE=PAGER:1/1\r\n"
                                 "NOTE:keep me\r\nEND:VCARD\r\n";
    registry.dir().write("home/data/contacts/pat.vcf", original);
    ASSERT_TRUE(book.update("pat", "host.example!42")) << book.lastErrorText();
    std::string expected = original;
    expected.replace(expected.find("1/1"), 3, "host.example!42");
    EXPECT_EQ(registry.dir().read("home/data/contacts/pat.vcf"), expected);
    EXPECT_FALSE(book.update("Nobody", "1/1"));
    EXPECT_EQ(book.lastErrorCode(), 0x3008D);
}

TEST_F(InternetAddressBookTest, RemoveDeletesTheFileOrOnlyThatCard)
{
    ASSERT_TRUE(book.add("Solo", "1/1"));
    registry.dir().write("home/data/contacts/pair.vcf",
                         "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:First\r\nEND:VCARD\r\n"
                         "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Second\r\nEND:VCARD\r\n");
    ASSERT_TRUE(book.remove("solo"));
    EXPECT_EQ(cardFiles(folder), std::vector<std::string> {"pair.vcf"});
    ASSERT_TRUE(book.remove("First"));
    EXPECT_EQ(registry.dir().read("home/data/contacts/pair.vcf"),
              "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Second\r\nEND:VCARD\r\n");
    EXPECT_FALSE(book.remove("First"));
    EXPECT_EQ(book.lastErrorCode(), 0x3008D);
}

TEST_F(InternetAddressBookTest, AddRefusesBadNamesAndDuplicatesAndLeavesNoFile)
{
    ASSERT_TRUE(book.add("Taken", "1/1"));
    for (const std::string& name : {std::string("a;b"), std::string("x=y"), std::string(""),
                                    std::string(128, 'n'), std::string("TAKEN")}) {
        EXPECT_FALSE(book.add(name, "1/1")) << name;
        EXPECT_EQ(book.lastErrorCode(), 0x30087);
    }
    EXPECT_EQ(cardFiles(folder).size(), 1u);
    EXPECT_NE(book.lastErrorText().find("exists already"), std::string::npos);
}

TEST_F(InternetAddressBookTest, ChangedFilesAreSeenAndNoTemporaryFileRemains)
{
    ASSERT_TRUE(book.add("Pat", "1/1"));
    std::string info;
    ASSERT_TRUE(book.getPagerInfo("Pat", info));
    const std::string file = cardFiles(folder)[0];
    // Another tool rewrites the file (a different size, so the change is seen at once).
    registry.dir().write("home/data/contacts/" + file,
                         "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Pat\r\nTEL;VALUE=text;TYPE=pager:22/22"
                         "\r\nEND:VCARD\r\n");
    ASSERT_TRUE(book.getPagerInfo("Pat", info));
    EXPECT_EQ(info, "22/22");
    ASSERT_TRUE(book.update("Pat", "3/3"));
    EXPECT_EQ(cardFiles(folder), std::vector<std::string> {file});
}

TEST_F(InternetAddressBookTest, CardsAddedOrRemovedByAnotherToolAreSeenAtOnce)
{
    std::string info;
    ASSERT_FALSE(book.getPagerInfo("Newcomer", info));
    registry.dir().write("home/data/contacts/new.vcf",
                         "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Newcomer\r\nTEL;TYPE=PAGER:5/5\r\n"
                         "END:VCARD\r\n");
    ASSERT_TRUE(book.getPagerInfo("Newcomer", info));
    EXPECT_EQ(info, "5/5");
    fs::remove(folder + "/new.vcf");
    EXPECT_FALSE(book.getPagerInfo("Newcomer", info));
    EXPECT_EQ(book.lastErrorCode(), 0x3008D);
}

TEST(InternetAddressBook, UnusableFolderShowsItsMessageOnceThenStaysDisabled)
{
    ScopedRegistry registry;
    registry.dir().write("file", "x");
    SettingsKey adb(RootKey::CurrentUser, adbKey);
    ASSERT_TRUE(adb.setString("internetAdb", registry.dir().file("file/contacts")));
    auto prompt = std::make_shared<RecordingPrompt>();
    InternetAddressBook book(prompt);
    EXPECT_FALSE(book.locate());
    EXPECT_TRUE(book.open());
    EXPECT_TRUE(book.isDisabled());
    EXPECT_FALSE(book.isOpen());
    ASSERT_EQ(prompt->ofKind("message").size(), 1u);
    EXPECT_EQ(prompt->ofKind("message")[0].caption, "MAPI Address Book Error");
    EXPECT_NE(prompt->ofKind("message")[0].text.find(registry.dir().file("file/contacts")),
              std::string::npos);
    EXPECT_FALSE(book.open());
    std::string info;
    EXPECT_FALSE(book.getPagerInfo("x", info));
    EXPECT_EQ(book.lastErrorText(), "Address Book Error: address book is disabled");
    EXPECT_EQ(prompt->ofKind("message").size(), 1u);
    // Selecting the book again loads again: the message comes once more.
    EXPECT_FALSE(book.locate());
    EXPECT_TRUE(book.open());
    EXPECT_EQ(prompt->ofKind("message").size(), 2u);
}

} // namespace
