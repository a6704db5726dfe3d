// The generated test skin and the recording view's window.
#include "tests/ui/UiTestSupport.h"

namespace uitest {

std::string SolidBmp(int width, int height, COLORREF color) {
    const int rowBytes = (width * 3 + 3) & ~3;
    const int imageBytes = rowBytes * height;
    std::string out(54 + static_cast<size_t>(imageBytes), '\0');
    auto put32 = [&](size_t at, unsigned value) {
        for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<unsigned>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<unsigned>(width));
    put32(22, static_cast<unsigned>(height));
    out[26] = 1;
    out[28] = 24;
    put32(34, static_cast<unsigned>(imageBytes));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            size_t p = 54 + static_cast<size_t>(y * rowBytes + x * 3);
            out[p] = static_cast<char>(GetBValue(color));
            out[p + 1] = static_cast<char>(GetGValue(color));
            out[p + 2] = static_cast<char>(GetRValue(color));
        }
    }
    return out;
}

void WriteTestSkin(const std::wstring& folder, const std::string& extra) {
    testsupport::WriteFileBytes(folder + L"main.bmp", SolidBmp(300, 200, RGB(200, 200, 200)));
    testsupport::WriteFileBytes(folder + L"images.bmp", SolidBmp(100, 20, RGB(40, 80, 120)));
    std::string ini =
        "[SKININFO]\r\nImageList=images.bmp\r\n"
        "[IMAGELISTINFO]\r\n1=THUMB,0,0,8,8\r\n2=PLAYOFF,8,0,40,20\r\n3=PLAYON,48,0,40,20\r\n"
        "[ENUMS]\r\n1=PLAYSTATES,0,1,1,PLAYOFF,PLAYON\r\n2=PLAYTIPS,0,1,1,Start,Stop\r\n"
        "3=PLAYCAPTIONS,0,1,1,Play,Pause\r\n"
        "[TESTDLG]\r\nWindowtype=0\r\nMain=main.bmp\r\n"
        "TopParam=300,20,30,10,200,10\r\nLeftParam=10,160,40,10,100,10\r\n"
        "BottomParam=300,20,30,10,0,0\r\nRightParam=10,160,40,10,0,0\r\nInitSize=0,0,320,220\r\n"
        "[TESTDLG/BUTTONS]\r\n1=PLAY,20,30,40,20\r\n2=this.showhide,70,30,40,20\r\n"
        "3=OTHERDLG.showhide,120,30,40,20\r\n4=TESTDLG.Minimize,170,30,40,20\r\n"
        "5=MODE,220,30,40,20,tip,,,PLAYSTATES,PLAYTIPS,,,PLAYCAPTIONS\r\n"
        "[TESTDLG/TEXTINFO]\r\n1=Information,,0,0,8,0,0,0,0,20,60,120,16,hello\r\n"
        "2=information,,0,0,8,0,0,0,0,150,60,120,16,hello\r\n3=Other,,0,0,8,0,0,0,0,20,180,60,16,other\r\n"
        "[TESTDLG/TRACKBARINFO]\r\n1=VOLUME,THUMB,THUMB,THUMB,THUMB,20,80,100,16,H,0,,0,100\r\n"
        "[TESTDLG/PROGRESSINFO]\r\n1=CopyProgress,,20,100,150,10,H\r\n"
        "[TESTDLG/EDITS]\r\n1=PATH,20,120,100,18,0,0,0\r\n"
        "[TESTDLG/COMBOBOXINFO]\r\n"
        "1=Root,20,145,100,18,,0,0,0,0,0,0,255,255,255,255,255,255,0,0,128,0,0,0,0,Media,Device\r\n"
        "[TESTDLG/APPVIEWS]\r\n1=FileTreeView,12,22,100,150\r\n2=BottomContainer, 120, 22, 50, 50, mode=1,x\r\n"
        "4=Never,0,0,1,1\r\n"
        "[MAINDLG]\r\nWindowtype=0\r\nMain=main.bmp\r\nInitSize=0,0,300,200\r\nTitleDBClkArea=0,0,200,20\r\n"
        "[MAINDLG/BUTTONS]\r\n1=About,100,2,40,16\r\n2=Minimize,250,2,16,16\r\n"
        "[MAINDLG/PROGRESSINFO]\r\n1=CopyProgress,,200,180,80,10,H\r\n"
        "[MAINDLG/APPVIEWS]\r\n1=FileTreeView,10,30,100,140\r\n2=SplitterBar,110,30,4,140\r\n"
        "3=FileListCtrl,114,30,176,140\r\n"
        "[SplitterBar]\r\nWindowtype=0\r\nBKColor=90,90,90\r\n";
    testsupport::WriteFileBytes(folder + L"skin.ini", ini + extra);
}

bool RecordingView::Make(HWND parent, const RECT& rect) {
    static const bool registered = platform::CWnd::RegisterWindowClass(L"PelicanTestView");
    if (!registered) return false;
    return CreateEx(0, L"PelicanTestView", name_.c_str(), WS_CHILD | WS_VISIBLE, rect, parent, 0);
}

}  // namespace uitest
