#include <gtest/gtest.h>

#include "base/Path.h"
#include "builder/ProjectFileFunctions.h"
#include "tests/unit/TestFiles.h"

using namespace kestrix;
using namespace kestrix::test;

namespace {

const char* const kDefaultProject =
    "SSNameVersion=Fill in the screen saver name and version\r\n"
    "FlashFile=\r\n"
    "Scale=0\r\n"
    "Alignment=4\r\n"
    "Title=\r\n"
    "Website=http://\r\n"
    "Email=\r\n"
    "Logo=\r\n"
    "Transparent=0\r\n"
    "CopyrightText=[SCREENSAVERNAME] v1.0#&^!written by [FIRSTNAME] [LASTNAME]#&^!#&^!#&^!"
    "Copyright \xA9 [YEAR] [COMPANY]\r\n"
    "ScrollBar=0\r\n"
    "OutputDir=\r\n"
    "OutputFilename=\r\n";

class ProjectFileTest : public ::testing::Test {
protected:
    void SetUp() override { WriteText(dir.File("general.kcp"), DefaultProjectText()); }

    std::string Project(const std::string& name, const std::string& text) {
        WriteText(dir.File(name), text);
        return dir.File(name);
    }

    TempDir dir;
    TProjectRecord record;
    TProjectFile project{record, dir.Path()};
};

TEST(DefaultProjectTest, IsTheShippedFileByteForByte) { EXPECT_EQ(DefaultProjectText(), kDefaultProject); }

TEST_F(ProjectFileTest, NewProjectLoadsDefaultsAndCountsAsModified) {
    project.NewProject();
    const ProjectSettings s = record.GetSettings();
    EXPECT_EQ(s.SSNameVersion, "Fill in the screen saver name and version");
    EXPECT_EQ(s.Scale, 0);
    EXPECT_EQ(s.Alignment, 4);
    EXPECT_EQ(s.Website, "http://");
    EXPECT_EQ(s.CopyrightText,
              "[SCREENSAVERNAME] v1.0\r\nwritten by [FIRSTNAME] [LASTNAME]\r\n\r\n\r\nCopyright \xA9 [YEAR] [COMPANY]");
    EXPECT_EQ(record.CurrentFileName(), "");
    EXPECT_TRUE(project.IsProjectModified());
}

TEST_F(ProjectFileTest, SavedProjectIsUnmodifiedUntilAValueReallyChanges) {
    project.NewProject();
    const std::string file = dir.File("mine.kcp");
    ASSERT_TRUE(project.SaveProject(file));
    EXPECT_EQ(ReadText(file), kDefaultProject);
    EXPECT_EQ(record.CurrentFileName(), file);
    EXPECT_FALSE(project.IsProjectModified());

    record.PutText(ProjectField::Title, "Changed");
    EXPECT_TRUE(project.IsProjectModified());
    record.PutText(ProjectField::Title, "");
    EXPECT_FALSE(project.IsProjectModified());

    TProjectRecord other;
    TProjectFile reopened(other, dir.Path());
    reopened.LoadProject(file);
    EXPECT_FALSE(reopened.IsProjectModified());
}

TEST_F(ProjectFileTest, ForeignLayoutLoadsButCountsAsModified) {
    const std::string text =
        "scrollbar=2\nTITLE=My Title\nExtra=ignored\nTitle=second wins never\nScale= 3\nAlignment=$8\r"
        "SSNameVersion=Name = v1\nFlashFile=C:\\m.swf\nTransparent=1\nOutputFilename=out\n"
        "Website=\nEmail=\nLogo=\nCopyrightText=a#&^!b\nOutputDir=\nNoEquals\n";
    const std::string file = Project("foreign.kcp", text);
    project.LoadProject(file);
    const ProjectSettings s = record.GetSettings();
    EXPECT_EQ(s.ScrollBar, 2);
    EXPECT_EQ(s.Title, "My Title");
    EXPECT_EQ(s.Scale, 3);
    EXPECT_EQ(s.Alignment, 8);
    EXPECT_EQ(s.SSNameVersion, "Name = v1");
    EXPECT_TRUE(s.Transparent);
    EXPECT_EQ(s.CopyrightText, "a\r\nb");
    EXPECT_EQ(record.CurrentFileName(), file);
    EXPECT_TRUE(project.IsProjectModified());
}

TEST_F(ProjectFileTest, LineEndsOfAnyKindReadTheSame) {
    std::string lf = kDefaultProject, cr = kDefaultProject;
    for (std::string* text : {&lf, &cr}) {
        std::string converted;
        for (size_t i = 0; i < text->size(); ++i) {
            if ((*text)[i] == '\r') continue;
            converted += (*text)[i] == '\n' ? (text == &lf ? '\n' : '\r') : (*text)[i];
        }
        *text = converted;
    }
    for (const std::string& text : {lf, cr}) {
        TProjectRecord other;
        TProjectFile loaded(other, dir.Path());
        loaded.LoadProject(Project("ends.kcp", text));
        EXPECT_EQ(other.GetSettings().Alignment, 4);
        EXPECT_EQ(other.GetSettings().OutputFilename, "");
        EXPECT_FALSE(loaded.IsProjectModified()) << "line ends alone made a difference";
    }
}

TEST_F(ProjectFileTest, ControlRulesApplyToLoadedValues) {
    struct Case {
        const char* scale;
        const char* alignment;
        const char* transparent;
        int scaleLoaded;
        int alignmentWritten;
        bool transparentLoaded;
    };
    const Case cases[] = {
        {"9", "4", "1", 3, 4, true},     {"-4", "9", "true", -1, 0, false},
        {"0x2", "-1", "01", 2, 0, false}, {"1", "8", "", 1, 8, false},
    };
    for (const Case& c : cases) {
        std::string text = kDefaultProject;
        text.replace(text.find("Scale=0"), 7, std::string("Scale=") + c.scale);
        text.replace(text.find("Alignment=4"), 11, std::string("Alignment=") + c.alignment);
        text.replace(text.find("Transparent=0"), 13, std::string("Transparent=") + c.transparent);
        project.LoadProject(Project("rules.kcp", text));
        EXPECT_EQ(record.GetSettings().Scale, c.scaleLoaded) << c.scale;
        EXPECT_EQ(record.GetSettings().Transparent, c.transparentLoaded) << c.transparent;
        EXPECT_EQ(project.BuildProjectLines()[3], "Alignment=" + std::to_string(c.alignmentWritten)) << c.alignment;
    }
}

TEST_F(ProjectFileTest, BadNumberStopsTheLoadWithEarlierFieldsTaken) {
    project.NewProject();
    record.PutText(ProjectField::Title, "before");
    const std::string bound = dir.File("bound.kcp");
    ASSERT_TRUE(project.SaveProject(bound));
    const TStringList baseline = project.SavedProjectLines();

    const std::string cases[] = {
        "SSNameVersion=Loaded\r\nFlashFile=m.swf\r\nTitle=not reached\r\n",       // no Scale line
        "SSNameVersion=Loaded\r\nFlashFile=m.swf\r\nScale=1x\r\nTitle=not reached\r\n",  // not a number
        "SSNameVersion=Loaded\r\nFlashFile=m.swf\r\nScale=99999999999\r\n",       // out of range
    };
    for (const std::string& text : cases) {
        project.LoadProject(Project("bad.kcp", text));
        EXPECT_EQ(record.GetSettings().SSNameVersion, "Loaded");
        EXPECT_EQ(record.GetSettings().FlashFile, "m.swf");
        EXPECT_EQ(record.GetSettings().Title, "before");
        EXPECT_EQ(record.CurrentFileName(), bound);
        EXPECT_EQ(project.SavedProjectLines(), baseline);
    }
}

TEST_F(ProjectFileTest, MissingFileChangesNothingAndNewProjectStillClearsTheName) {
    project.LoadProject(Project("p.kcp", kDefaultProject));
    project.LoadProject(dir.File("absent.kcp"));
    EXPECT_EQ(record.CurrentFileName(), dir.File("p.kcp"));
    RemoveFile(dir.File("general.kcp"));
    record.PutText(ProjectField::Title, "kept");
    project.NewProject();
    EXPECT_EQ(record.GetSettings().Title, "kept");
    EXPECT_EQ(record.CurrentFileName(), "");
}

TEST_F(ProjectFileTest, CopyrightTextKeepsItsLineBreaks) {
    project.NewProject();
    const struct {
        std::string typed;
        std::string readBack;
    } cases[] = {
        {"one\r\ntwo\r\n", "one\r\ntwo\r\n"},
        {"typed #&^! code", "typed \r\n code"},
        {"marker !@#$%^+_)(* typed", "marker \r\n typed"},
        {"lone\rcr and lone\nlf", "lone\r\ncr and lone\r\nlf"},
    };
    for (const auto& c : cases) {
        record.PutText(ProjectField::CopyrightText, c.typed);
        ASSERT_TRUE(project.SaveProject(dir.File("c.kcp")));
        TProjectRecord other;
        TProjectFile(other, dir.Path()).LoadProject(dir.File("c.kcp"));
        EXPECT_EQ(other.GetSettings().CopyrightText, c.readBack) << c.typed;
    }
}

TEST_F(ProjectFileTest, FailedSaveChangesNothing) {
    project.LoadProject(Project("p.kcp", kDefaultProject));
    record.PutText(ProjectField::Title, "unsaved");
    EXPECT_FALSE(project.SaveProject(dir.File("no-folder") + kPathDelimiter + "x.kcp"));
    EXPECT_EQ(record.CurrentFileName(), dir.File("p.kcp"));
    EXPECT_TRUE(project.IsProjectModified());
    EXPECT_EQ(ReadText(dir.File("p.kcp")), kDefaultProject);
}

TEST(ReplaceAllTextTest, ReplacesEveryOccurrenceWithoutRegardToCase) {
    const struct {
        const char *text, *search, *replacement, *expected;
    } cases[] = {
        {"aXbxc", "x", "yy", "ayybyyc"},
        {"abc", "B", "b-b", "ab-bc"},  // the replacement holds the search text
        {"abc", "", "z", "abc"},
        {"a\r\nb\r\n", "\r\n", "#&^!", "a#&^!b#&^!"},
        {"\xE9t\xC9", "\xE9", "e", "et\xC9"},  // only ASCII letters fold
    };
    for (const auto& c : cases) EXPECT_EQ(ReplaceAllText(c.text, c.search, c.replacement), c.expected) << c.text;
}

}  // namespace
