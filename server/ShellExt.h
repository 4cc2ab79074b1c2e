// The COM surface of Ratelle.dll: the class factory and the property-sheet
// extension object that adds the page "Glimora" to the Display properties.
//
// Every live factory, object and page counts in ServerRefCount (Module.h);
// reference counts are plain integers: the host calls everything on its
// user-interface thread.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

// {87b9bd00-c65c-11cd-a259-00dd010e8c28}, the one class the library serves.
extern const CLSID CLSID_RefreshPage;

// The platform's identifiers of the interfaces the server hands out, defined
// here rather than taken from the system's uuid library, which would bring
// hundreds of unused ones into the library.
extern const IID UnknownInterface;        // IUnknown
extern const IID ClassFactoryInterface;   // IClassFactory
extern const IID ShellExtInitInterface;   // IShellExtInit
extern const IID PropSheetExtInterface;   // IShellPropSheetExt

class CShellExtClassFactory final : public IClassFactory {
public:
    CShellExtClassFactory();
    ~CShellExtClassFactory();

    STDMETHODIMP QueryInterface(REFIID interfaceId, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID interfaceId, void** out) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    ULONG RefCount;
};

// IShellExtInit is the primary interface: its pointer is the object's
// identity and what IID_IUnknown yields.
class CShellExt final : public IShellExtInit, public IShellPropSheetExt {
public:
    CShellExt();
    ~CShellExt();

    STDMETHODIMP QueryInterface(REFIID interfaceId, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* dataObject, HKEY programKey) override;

    STDMETHODIMP AddPages(LPFNADDPROPSHEETPAGE addPage, LPARAM parameter) override;
    STDMETHODIMP ReplacePage(EXPPS pageId, LPFNADDPROPSHEETPAGE replacePage, LPARAM parameter) override;

private:
    bool OffersPage();
    void AddRefreshPage(LPFNADDPROPSHEETPAGE addPage, LPARAM parameter);

    ULONG RefCount;
    IDataObject* DataObject;   // held with a reference of our own, or null
};
