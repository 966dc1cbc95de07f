// Commands as actions: a caption, a category, an image and the handler, kept in an action
// list that also holds the images. Menus and tool bars are built from the list.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Bitmap.h"

namespace kestrix {

class TAction {
public:
    TAction(int id, std::string caption, std::string category, int imageIndex, std::function<void()> onExecute);

    int Id() const { return id_; }  // the command number in menus and tool bars
    const std::string& Caption() const { return caption_; }
    const std::string& Category() const { return category_; }
    int ImageIndex() const { return imageIndex_; }  // -1: none
    // Runs the handler; what it raises goes to the application's error box.
    void Execute() const;

private:
    int id_;
    std::string caption_;
    std::string category_;
    int imageIndex_;
    std::function<void()> onExecute_;
};

class TActionList {
public:
    TActionList() = default;
    ~TActionList();
    TActionList(const TActionList&) = delete;
    TActionList& operator=(const TActionList&) = delete;

    TAction* Add(std::string caption, std::string category, int imageIndex, std::function<void()> onExecute);
    TAction* Find(int id) const;

    // The pictures, all of one size; their fully transparent pixels are left out when drawn.
    void SetImages(const std::vector<TBitmap>& images);
    HIMAGELIST ImageList() const { return imageList_; }
    int ImageCount() const { return imageList_ ? ImageList_GetImageCount(imageList_) : 0; }

private:
    void ReleaseImages();

    std::vector<std::unique_ptr<TAction>> actions_;
    HIMAGELIST imageList_ = nullptr;
};

}  // namespace kestrix
