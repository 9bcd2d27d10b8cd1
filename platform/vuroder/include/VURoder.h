// VURoder: the client's host framework. Components register under the
// GUIDs of the interfaces they offer; plug-ins find each other through
// UIQueryInterface and receive host notifications through CUIObject.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <vector>

#ifdef VUR_BUILDING_DLL
#define VUR_API __declspec(dllexport)
#else
#define VUR_API __declspec(dllimport)
#endif

// Base of every interface the framework hands out.
class IUSBase {
public:
    virtual long AddRef() = 0;
    virtual long Release() = 0;
    // 1 and *ppv set on success; 0 and *ppv null otherwise.
    virtual int QueryInterface(const GUID& riid, IUSBase** ppv) = 0;
    virtual ~IUSBase() {}
};

typedef std::vector<IUSBase*> IUSBaseList;

// The framework's XML message document; plug-ins only pass it on.
class VUR_API CXMLU {
public:
    CXMLU() {}
    explicit CXMLU(const char* xml) : m_xml(xml ? xml : "") {}
    const std::string& GetXml() const { return m_xml; }
    void SetXml(const char* xml) { m_xml = xml ? xml : ""; }

private:
    std::string m_xml;
};

// Notification callback a component hands to CUIObject::Initialize.
typedef int (*XSCNOTIFYPROC)(const char* name, int id, CXMLU* request, CXMLU* reply);

class CUIObject;
typedef int (*UI_MSGHANDLER)(CUIObject* pObject, int id, CXMLU* request, CXMLU* reply);

struct UI_MSGMAP_ENTRY {
    const char* name; // notification name; "*" matches any
    UI_MSGHANDLER pfn;
};

struct UI_MSGMAP {
    const UI_MSGMAP* (*pfnGetBaseMap)();
    const UI_MSGMAP_ENTRY* lpEntries;
};

// A component of the host framework. Initialize registers the component's
// callback so that host notifications reach it; OnNtfMessageDispatch looks
// the notification up in the component's message map, then its bases'.
class VUR_API CUIObject {
public:
    CUIObject();

    virtual int Initialize(XSCNOTIFYPROC pfnNotify);
    virtual int UnInitialize(XSCNOTIFYPROC pfnNotify);
    virtual int OnNtfMessageDispatch(const char* name, int id, CXMLU* request, CXMLU* reply);
    virtual const UI_MSGMAP* GetMessageMap() const;
    static const UI_MSGMAP* GetThisMessageMap();

protected:
    ~CUIObject();

private:
    CUIObject(const CUIObject&);
    CUIObject& operator=(const CUIObject&);
};

// Appends every registered component offering riid to list. flag 1 asks
// for plug-in components, 0 for framework services (the language service);
// both are answered from the same registry. Returns the number appended.
VUR_API int UIQueryInterface(const GUID& riid, IUSBaseList& list, int flag);

// Host side: registration of components under interface GUIDs.
VUR_API void UIRegisterComponent(const GUID& riid, IUSBase* pComponent);
VUR_API void UIUnregisterComponent(IUSBase* pComponent);
VUR_API void UIUnregisterAll();

// Host side: sends a notification to every initialised component's callback;
// returns how many callbacks were called.
VUR_API int UINotify(const char* name, int id, CXMLU* request, CXMLU* reply);
// Number of callbacks currently registered through CUIObject::Initialize.
VUR_API int UIGetCallbackCount();

// Diagnostics for tests: the last notification the framework's base map
// handled, and how many UIQueryInterface calls asked for riid with flag.
struct UIDispatchRecord {
    std::string name;
    int id;
    CXMLU* request;
    CXMLU* reply;
    int count; // notifications handled by the base map so far
};
VUR_API UIDispatchRecord UIGetLastDispatch();
VUR_API int UIGetQueryCount(const GUID& riid, int flag);
