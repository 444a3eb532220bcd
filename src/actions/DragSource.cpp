// The file-list data object, the drop source and the start of a drag.
#include "actions/DragSource.h"

#include <shlobj.h>

#include <cstring>
#include <new>
#include <utility>

namespace {

// What both objects of this file share: the reference count, deleting at zero, and the answer
// to the interface query (IUnknown and the one interface the object stands for).
template <typename Interface> class ComObject : public Interface {
public:
    explicit ComObject(REFIID ownInterface) : interfaceId(ownInterface) {}
    virtual ~ComObject() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, interfaceId)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&references);
        if (left == 0) delete this;
        return left;
    }

private:
    const IID& interfaceId;
    LONG references = 1;
};

FORMATETC fileListFormat() {
    return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

class FileListDataObject : public ComObject<IDataObject> {
public:
    explicit FileListDataObject(toolkit::GlobalBlock block)
        : ComObject(IID_IDataObject), fileList(std::move(block)) {}
    virtual ~FileListDataObject() = default;

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!format || !medium) return E_INVALIDARG;
        HRESULT offered = QueryGetData(format);
        if (offered != S_OK) return offered;
        // The reader gets a copy of its own and frees it.
        toolkit::GlobalBlock copy = toolkit::GlobalBlock::copyOf(fileList.get());
        if (!copy) return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy.release();
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override {
        if (!format || !medium) return E_INVALIDARG;
        HRESULT offered = QueryGetData(format);
        if (offered != S_OK) return offered;
        if (medium->tymed != TYMED_HGLOBAL || !medium->hGlobal) return DV_E_TYMED;
        SIZE_T size = fileList.size();
        if (GlobalSize(medium->hGlobal) < size) return STG_E_MEDIUMFULL;
        toolkit::GlobalBlock::Locked to(medium->hGlobal), from(fileList.get());
        if (!to || !from) return E_OUTOFMEMORY;
        std::memcpy(to.bytes(), from.bytes(), size);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        if (!format) return E_INVALIDARG;
        if (format->cfFormat != CF_HDROP) return DV_E_FORMATETC;
        if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
        if (format->lindex != -1) return DV_E_LINDEX;
        if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override {
        if (!in || !out) return E_INVALIDARG;
        *out = *in;
        out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
        if (!formats) return E_INVALIDARG;
        *formats = nullptr;
        if (direction != DATADIR_GET) return E_NOTIMPL;
        FORMATETC offered = fileListFormat();
        return SHCreateStdEnumFmtEtc(1, &offered, formats);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    toolkit::GlobalBlock fileList;
};

// Drops when the button that started the drag is released; the other button or Esc cancels.
class FileDropSource : public ComObject<IDropSource> {
public:
    FileDropSource(DWORD dropButton, DWORD cancelButton)
        : ComObject(IID_IDropSource), dropButton(dropButton), cancelButton(cancelButton) {}
    virtual ~FileDropSource() = default;


    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override {
        if (escapePressed || (keyState & cancelButton)) return DRAGDROP_S_CANCEL;
        if (!(keyState & dropButton)) return DRAGDROP_S_DROP;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    DWORD dropButton;
    DWORD cancelButton;
};

} // namespace

IDataObject* createFileListDataObject(toolkit::GlobalBlock fileList) {
    if (!fileList) return nullptr;
    return new (std::nothrow) FileListDataObject(std::move(fileList));
}

bool waitForDragStart(HWND window) {
    POINT start{};
    GetCursorPos(&start);
    int dx = GetSystemMetrics(SM_CXDRAG), dy = GetSystemMetrics(SM_CYDRAG);
    RECT still{start.x - dx, start.y - dy, start.x + dx, start.y + dy};
    DWORD delay = GetProfileIntA("windows", "DragDelay", DD_DEFDRAGDELAY);
    DWORD begin = GetTickCount();

    SetCapture(window);
    bool begins = false, decided = false;
    while (!decided) {
        if (GetCapture() != window) break; // someone else took the mouse: no drag
        DWORD elapsed = GetTickCount() - begin;
        if (elapsed >= delay) {
            begins = true;
            break;
        }
        MSG msg;
        if (PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
            switch (msg.message) {
            case WM_MOUSEMOVE:
                if (!PtInRect(&still, msg.pt)) begins = decided = true;
                break;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONUP:
            case WM_RBUTTONDOWN:
            case WM_RBUTTONUP:
            case WM_MBUTTONDOWN:
            case WM_MBUTTONUP: decided = true; break;
            default: break;
            }
            continue;
        }
        if (PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
            if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
                decided = true;
            } else {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            continue;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, delay - elapsed, QS_MOUSE | QS_KEY);
    }
    if (GetCapture() == window) ReleaseCapture();
    return begins;
}

DWORD dragFileList(HWND window, toolkit::GlobalBlock fileList) {
    IDataObject* data = createFileListDataObject(std::move(fileList));
    if (!data) return DROPEFFECT_NONE;
    DWORD effect = DROPEFFECT_NONE;
    if (waitForDragStart(window)) {
        // The button held now is the one whose release drops; the other one cancels.
        bool right = GetKeyState(VK_RBUTTON) < 0 && GetKeyState(VK_LBUTTON) >= 0;
        auto* source = new (std::nothrow)
            FileDropSource(right ? MK_RBUTTON : MK_LBUTTON, right ? MK_LBUTTON : MK_RBUTTON);
        if (source) {
            if (DoDragDrop(data, source, DROPEFFECT_COPY, &effect) != DRAGDROP_S_DROP)
                effect = DROPEFFECT_NONE;
            source->Release();
        }
    }
    data->Release(); // frees the block, whatever the outcome
    return effect;
}
