#include <gtest/gtest.h>

#include "base/Bitmap.h"
#include "base/MemoryStream.h"
#include "base/Path.h"
#include "builder/Compile.h"
#include "builder/PictureLoading.h"
#include "payload/PayloadKeys.h"
#include "payload/TResourceFromExeUnit.h"
#include "payload/TResourceToExeUnit.h"
#include "tests/unit/TestFiles.h"

using namespace kestrix;
using namespace kestrix::test;

namespace {

const std::string kName = "\r\n- Screen Saver Name and Version may not be empty";
const std::string kMovie = "\r\n- No Macromedia Flash file selected or it doesn't exist";
const std::string kTitle = "\r\n- Title may not be empty";
const std::string kOutput = "\r\n- No Output .scr filename filled in";
const std::string kLogo =
    "\r\n- No Logo picture selected, to have a configuration window without a picture, use a small one-color "
    "picture and set it transparent.";

std::string SmallBmp(int width, int height) {
    TBitmap bitmap;
    bitmap.SetSize(width, height);
    bitmap.SetPixel(0, 0, 0xFF336699);
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

class CompileTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteText(dir.File("movie.swf"), "FWS\x05 tiny movie");
        WriteText(dir.File("logo.bmp"), SmallBmp(3, 2));
        WriteText(dir.File("kestrix.dat"), "MZ runtime stand-in");
        complete.SSNameVersion = " Saver 1.0 ";
        complete.FlashFile = dir.File("movie.swf");
        complete.Scale = -1;
        complete.Alignment = 8;
        complete.Title = "Title";
        complete.Website = "http://example.org";
        complete.Email = "me@example.org";
        complete.Logo = dir.File("logo.bmp");
        complete.Transparent = false;
        complete.CopyrightText = "line 1\r\nline 2\r\n";
        complete.ScrollBar = 3;
        complete.OutputDir = dir.File("out") + kPathDelimiter;
        complete.OutputFilename = "saver";
    }

    template <typename Item>
    std::unique_ptr<Item> Get(const std::string& file, const char* key) {
        std::unique_ptr<TResItem> item = TResourceFromExe(file).GetItem(key);
        auto* typed = dynamic_cast<Item*>(item.get());
        if (!typed) return nullptr;
        item.release();
        return std::unique_ptr<Item>(typed);
    }

    TempDir dir;
    ProjectSettings complete;
};

TEST_F(CompileTest, ValidationReportsEachProblemInOrder) {
    ProjectSettings empty;
    const struct {
        ProjectSettings settings;
        std::string problems;
    } cases[] = {
        {empty, kName + kMovie + kTitle + kOutput + kLogo},
        {complete, ""},
        {[&] { auto s = complete; s.Logo = ""; return s; }(), kLogo},
        {[&] { auto s = complete; s.SSNameVersion = " \t "; return s; }(), kName},
        {[&] { auto s = complete; s.FlashFile = dir.Path(); return s; }(), kMovie},
        {[&] { auto s = complete; s.OutputFilename = "  "; s.Title = "\t"; return s; }(), kTitle + kOutput},
        {[&] { auto s = complete; s.Logo = dir.File("logo.png"); return s; }(), kLogo},
    };
    for (const auto& c : cases) EXPECT_EQ(ValidateProject(c.settings), c.problems);
}

TEST_F(CompileTest, OutputPathsFollowTheOutputDirectoryText) {
    const std::string d(1, kPathDelimiter);
    const std::string builder = dir.Path();
    const struct {
        std::string outputDir, outputFilename, expectedDirectory, expectedScreenSaver;
    } cases[] = {
        {"", "saver", builder + "output" + d, builder + "output" + d + "saver.scr"},
        {"  ", "saver", builder + "output" + d, builder + "output" + d + "saver.scr"},
        {d + "savers" + d, "saver", d + "savers" + d, d + "savers" + d + "saver.scr"},
        {d + "x" + d + "savers", "saver", d + "x" + d + "savers", d + "x" + d + "saver.scr"},
        {"nodelimiter", " saver ", "nodelimiter", " saver .scr"},
    };
    for (const auto& c : cases) {
        ProjectSettings s;
        s.OutputDir = c.outputDir;
        s.OutputFilename = c.outputFilename;
        const OutputPaths paths = ComputeOutputPaths(s, builder);
        EXPECT_EQ(paths.DirectoryText, c.expectedDirectory) << c.outputDir;
        EXPECT_EQ(paths.ScreenSaver, c.expectedScreenSaver) << c.outputDir;
        EXPECT_EQ(paths.ExampleExe, paths.Base + ".exe");
    }
}

TEST_F(CompileTest, CompiledPayloadHoldsTheProjectsValues) {
    TResourceToExe container;
    const OutputPaths paths = CompileProject(complete, container, dir.Path(), RuntimeStubPath(dir.Path()));
    const std::string scr = dir.File("out") + kPathDelimiter + "saver.scr";
    EXPECT_EQ(paths.ScreenSaver, scr);
    EXPECT_EQ(CompiledMessage(paths), "Screen saver " + scr + " succesfully compiled!");
    EXPECT_EQ(container.Count(), 11);
    EXPECT_EQ(ReadText(scr).substr(0, 19), "MZ runtime stand-in");

    EXPECT_EQ(Get<TStringResItem>(scr, PayloadKey::SSNameVersion)->Value, " Saver 1.0 ");
    auto movie = Get<TFileResItem>(scr, PayloadKey::FlashFile);
    EXPECT_EQ(movie->FileName, "movie.swf");
    EXPECT_EQ(movie->Stream.Bytes(), ReadBytes(dir.File("movie.swf")));
    EXPECT_EQ(Get<TIntegerResItem>(scr, PayloadKey::Scale)->Value, -1);
    EXPECT_EQ(Get<TIntegerResItem>(scr, PayloadKey::Alignment)->Value, 8);
    EXPECT_EQ(Get<TStringResItem>(scr, PayloadKey::Title)->Value, "Title");
    EXPECT_EQ(Get<TStringResItem>(scr, PayloadKey::Website)->Value, "http://example.org");
    EXPECT_EQ(Get<TStringResItem>(scr, PayloadKey::Email)->Value, "me@example.org");
    EXPECT_EQ(Get<TIntegerResItem>(scr, PayloadKey::Transparent)->Value, 0);
    EXPECT_EQ(Get<TStringResItem>(scr, PayloadKey::CopyrightText)->Value, "line 1\r\nline 2\r\n");
    EXPECT_EQ(Get<TIntegerResItem>(scr, PayloadKey::ScrollBar)->Value, 3);

    TBitmap logo;
    auto logoItem = Get<TStreamResItem>(scr, PayloadKey::Logo);
    logo.LoadFromStream(logoItem->Stream);
    EXPECT_EQ(logo.Width(), 3);
    EXPECT_EQ(logo.Height(), 2);
    EXPECT_EQ(logo.Pixel(0, 0), 0xFF336699u);
}

TEST_F(CompileTest, OutputFolderIsCreatedAndBlankOutputDirUsesBuilderFolder) {
    ProjectSettings s = complete;
    s.OutputDir = dir.File("a") + kPathDelimiter + "b" + kPathDelimiter;
    TResourceToExe container;
    CompileProject(s, container, dir.Path(), RuntimeStubPath(dir.Path()));
    EXPECT_TRUE(FileExists(s.OutputDir + "saver.scr"));

    s.OutputDir = " ";
    CompileProject(s, container, dir.Path(), RuntimeStubPath(dir.Path()));
    EXPECT_TRUE(FileExists(dir.File("output") + kPathDelimiter + "saver.scr"));
}

TEST_F(CompileTest, LogoWithUnknownExtensionGivesEmptyStream) {
    WriteText(dir.File("logo.png"), "not looked at");
    ProjectSettings s = complete;
    s.Logo = dir.File("logo.png");
    TResourceToExe container;
    CompileProject(s, container, dir.Path(), RuntimeStubPath(dir.Path()));
    EXPECT_EQ(Get<TStreamResItem>(complete.OutputDir + "saver.scr", PayloadKey::Logo)->Stream.Size(), 0);
}

TEST_F(CompileTest, PictureReaderIsChosenByLowerCasedExtension) {
    WriteText(dir.File("LOGO.BMP"), SmallBmp(4, 4));
    EXPECT_EQ(LoadPictureAsBitmap(dir.File("LOGO.BMP")).Width(), 4);
    WriteText(dir.File("fake.JPG"), SmallBmp(4, 4));  // BMP bytes under a JPEG name
    EXPECT_THROW(LoadPictureAsBitmap(dir.File("fake.JPG")), EInvalidGraphic);
    WriteText(dir.File("noext"), SmallBmp(4, 4));
    EXPECT_TRUE(LoadPictureAsBitmap(dir.File("noext")).Empty());
    EXPECT_THROW(LoadPictureAsBitmap(dir.File("absent.bmp")), Exception);
}

TEST_F(CompileTest, UnreadableLogoStopsTheCompileWithItsError) {
    WriteText(dir.File("broken.gif"), "GIF89a but nothing more");
    ProjectSettings s = complete;
    s.Logo = dir.File("broken.gif");
    TResourceToExe container;
    EXPECT_THROW(CompileProject(s, container, dir.Path(), RuntimeStubPath(dir.Path())), EInvalidGraphic);
    EXPECT_FALSE(FileExists(complete.OutputDir + "saver.scr"));
}

}  // namespace
