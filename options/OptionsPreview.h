// What the options sheet's Test button needs of the Navigator: whether it has a window, and to
// show its track list with the settings as they now stand.
#pragma once

class OptionsPreview {
public:
    virtual bool HasPreviewWindow() const = 0;
    virtual void ShowPreview() = 0;

protected:
    ~OptionsPreview() = default;
};
