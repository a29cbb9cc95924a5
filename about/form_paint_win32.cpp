#include "about/form_paint_win32.h"

#include <algorithm>
#include <string>

#include "platform/win32/dpi_win32.h"
#include "platform/win32/fonts_win32.h"

namespace vitrell {

namespace {

constexpr int kIconResourceId = 1;  // the program's icon, as the main window shows it

// One line from the label's top-left corner. Not clipped: where a substitute face runs wider than the designed one,
// the text still shows whole.
constexpr UINT kLabelFormat = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;

// A text's area widened by what its first and last glyphs draw beyond their advance, and by a pixel each side for
// antialiased edges.
RECT WithOverhangs(HDC dc, std::wstring_view text, RECT r) {
    ABC first{};
    ABC last{};
    if (!text.empty() && GetCharABCWidthsW(dc, text.front(), text.front(), &first) &&
        GetCharABCWidthsW(dc, text.back(), text.back(), &last)) {
        r.left += std::min(0, first.abcA);
        r.right -= std::min(0, last.abcC);
    }
    r.left -= 1;
    r.right += 1;
    return r;
}

}  // namespace

COLORREF ToColorRef(Rgb colour) {
    return RGB(colour.r, colour.g, colour.b);
}

RECT LabelRectPixels(const RectTwips& r) {
    const int left = TwipsToPixelsX(r.left);
    const int top = TwipsToPixelsY(r.top);
    return RECT{left, top, TwipsToPixelsX(r.left + r.width), TwipsToPixelsY(r.top + r.height)};
}

FormPaintKit::FormPaintKit(HINSTANCE instance, const FormLayout& layout)
    : layout_(layout),
      background_(CreateSolidBrush(ToColorRef(layout.background))),
      linePen_(CreatePen(PS_SOLID, 1, ToColorRef(layout.lineColour))) {
    const int dpi = ScreenDpiY();
    labelFonts_.reserve(layout.labels.size());
    for (const LabelSpec& label : layout.labels)
        labelFonts_.push_back(MakeFont(*label.font, dpi, label.text));

    // Measured once: the faces do not change while the form lives.
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    for (size_t i = 0; i < layout.labels.size(); ++i) {
        const LabelSpec& label = layout.labels[i];
        const RECT box = LabelRectPixels(label.rect);
        RECT text = box;
        RECT drawn = box;
        const std::wstring s(label.text);
        if (dc) {
            const SelectedObject selected(dc.get(), FontOf(i));
            if (DrawTextW(dc.get(), s.c_str(), static_cast<int>(s.size()), &text, kLabelFormat | DT_CALCRECT)) {
                const RECT reach = WithOverhangs(dc.get(), label.text, text);
                (void)UnionRect(&drawn, &box, &reach);  // both are non-empty
            } else {
                text = box;  // unmeasured: the design
            }
        }
        textAreas_.push_back(text);
        drawnAreas_.push_back(drawn);
    }

    const int w = TwipsToPixelsX(layout.icon.width);
    const int h = TwipsToPixelsY(layout.icon.height);
    icon_.reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResourceId), IMAGE_ICON, w, h, 0)));
}

HGDIOBJ FormPaintKit::FontOf(size_t position) const {
    return labelFonts_[position] ? labelFonts_[position].get() : GetStockObject(DEFAULT_GUI_FONT);
}

std::vector<RectTwips> FormPaintKit::TextAreasTwips() const {
    std::vector<RectTwips> areas;
    areas.reserve(textAreas_.size());
    for (const RECT& r : textAreas_) {
        areas.push_back({PixelsToTwipsX(r.left), PixelsToTwipsY(r.top), PixelsToTwipsX(r.right - r.left),
                         PixelsToTwipsY(r.bottom - r.top)});
    }
    return areas;
}

RECT FormPaintKit::DrawnArea(size_t position) const {
    return drawnAreas_[position];
}

void FormPaintKit::Paint(HDC dc, const std::function<LabelInk(const LabelSpec&)>& inkOf) const {
    RECT client{0, 0, TwipsToPixelsX(layout_.client.width), TwipsToPixelsY(layout_.client.height)};
    if (background_)
        FillRect(dc, &client, static_cast<HBRUSH>(background_.get()));

    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    for (size_t i = 0; i < layout_.labels.size(); ++i) {
        const LabelSpec& label = layout_.labels[i];
        const LabelInk ink = inkOf(label);
        SetTextColor(dc, ink.buttonText ? GetSysColor(COLOR_BTNTEXT) : ToColorRef(ink.colour));
        SelectObject(dc, FontOf(i));
        RECT r = LabelRectPixels(label.rect);
        const std::wstring text(label.text);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, kLabelFormat);
    }
    SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);

    if (linePen_) {
        const HGDIOBJ oldPen = SelectObject(dc, linePen_.get());
        for (const LineSpec& line : layout_.lines) {
            const int x2 = TwipsToPixelsX(line.x2);
            const int y2 = TwipsToPixelsY(line.y2);
            MoveToEx(dc, TwipsToPixelsX(line.x1), TwipsToPixelsY(line.y1), nullptr);
            LineTo(dc, x2, y2);
            SetPixelV(dc, x2, y2, ToColorRef(layout_.lineColour));  // the end point belongs to the line
        }
        SelectObject(dc, oldPen);
    }

    if (icon_) {
        DrawIconEx(dc, TwipsToPixelsX(layout_.icon.left), TwipsToPixelsY(layout_.icon.top), icon_.get(),
                   TwipsToPixelsX(layout_.icon.width), TwipsToPixelsY(layout_.icon.height), 0, nullptr, DI_NORMAL);
    }
}

HWND CreateCentredWindow(DWORD exStyle,
                         const wchar_t* className,
                         const wchar_t* caption,
                         DWORD style,
                         SizeTwips client,
                         HWND owner,
                         HINSTANCE instance,
                         void* param) {
    RECT r{0, 0, TwipsToPixelsX(client.width), TwipsToPixelsY(client.height)};
    if (!AdjustWindowRectEx(&r, style, FALSE, exStyle))
        return nullptr;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    return CreateWindowExW(exStyle, className, caption, style, x, y, w, h, owner, nullptr, instance, param);
}

}  // namespace vitrell
