#include "VURoder.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

namespace {
struct Registration {
    GUID iid;
    IUSBase* component;
};

struct Registry {
    std::recursive_mutex lock;
    std::vector<Registration> components;
    std::vector<XSCNOTIFYPROC> callbacks;
    UIDispatchRecord lastDispatch{"", 0, nullptr, nullptr, 0};
    struct QueryCount {
        GUID iid;
        int flag;
        int count;
    };
    std::vector<QueryCount> queries; // one entry per (GUID, flag): bounded
};

Registry& Reg() {
    static Registry* reg = new Registry; // components may outlive static destruction
    return *reg;
}

bool SameGuid(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

// The framework's own handling of a notification no component map claimed:
// it is recorded, nothing else.
int BaseHandler(CUIObject*, int id, CXMLU* request, CXMLU* reply) {
    (void)id, (void)request, (void)reply;
    return 0;
}
} // namespace

CUIObject::CUIObject() = default;
CUIObject::~CUIObject() = default;

int CUIObject::Initialize(XSCNOTIFYPROC pfnNotify) {
    if (!pfnNotify)
        return 0;
    std::lock_guard<std::recursive_mutex> guard(Reg().lock);
    auto& cbs = Reg().callbacks;
    if (std::find(cbs.begin(), cbs.end(), pfnNotify) == cbs.end())
        cbs.push_back(pfnNotify);
    return 1;
}

int CUIObject::UnInitialize(XSCNOTIFYPROC pfnNotify) {
    std::lock_guard<std::recursive_mutex> guard(Reg().lock);
    auto& cbs = Reg().callbacks;
    auto it = std::find(cbs.begin(), cbs.end(), pfnNotify);
    if (it == cbs.end())
        return 0;
    cbs.erase(it);
    return 1;
}

int CUIObject::OnNtfMessageDispatch(const char* name, int id, CXMLU* request, CXMLU* reply) {
    for (const UI_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const UI_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (std::strcmp(e->name, "*") != 0 && (!name || std::strcmp(e->name, name) != 0))
                continue;
            if (e->pfn == &BaseHandler) {
                std::lock_guard<std::recursive_mutex> guard(Reg().lock);
                UIDispatchRecord& rec = Reg().lastDispatch;
                rec.name = name ? name : "";
                rec.id = id;
                rec.request = request;
                rec.reply = reply;
                ++rec.count;
            }
            return e->pfn(this, id, request, reply);
        }
    }
    return 0;
}

const UI_MSGMAP* CUIObject::GetThisMessageMap() {
    static const UI_MSGMAP_ENTRY entries[] = {{"*", &BaseHandler}, {nullptr, nullptr}};
    static const UI_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const UI_MSGMAP* CUIObject::GetMessageMap() const {
    return GetThisMessageMap();
}

int UIQueryInterface(const GUID& riid, IUSBaseList& list, int flag) {
    std::lock_guard<std::recursive_mutex> guard(Reg().lock);
    auto& qs = Reg().queries;
    auto q = std::find_if(qs.begin(), qs.end(), [&](const Registry::QueryCount& c) {
        return c.flag == flag && SameGuid(c.iid, riid);
    });
    if (q == qs.end())
        qs.push_back({riid, flag, 1});
    else
        ++q->count;
    int n = 0;
    for (const Registration& r : Reg().components) {
        if (SameGuid(r.iid, riid)) {
            list.push_back(r.component);
            ++n;
        }
    }
    return n;
}

void UIRegisterComponent(const GUID& riid, IUSBase* pComponent) {
    if (!pComponent)
        return;
    std::lock_guard<std::recursive_mutex> guard(Reg().lock);
    Reg().components.push_back({riid, pComponent});
}

void UIUnregisterComponent(IUSBase* pComponent) {
    std::lock_guard<std::recursive_mutex> guard(Reg().lock);
    auto& comps = Reg().components;
    comps.erase(std::remove_if(comps.begin(), comps.end(),
                               [&](const Registration& r) { return r.component == pComponent; }),
                comps.end());
}

void UIUnregisterAll() {
    std::lock_guard<std::recursive_mutex> guard(Reg().lock);
    Reg().components.clear();
}

int UINotify(const char* name, int id, CXMLU* request, CXMLU* reply) {
    std::vector<XSCNOTIFYPROC> cbs;
    {
        std::lock_guard<std::recursive_mutex> guard(Reg().lock);
        cbs = Reg().callbacks;
    }
    for (XSCNOTIFYPROC cb : cbs)
        cb(name, id, request, reply);
    return static_cast<int>(cbs.size());
}

int UIGetCallbackCount() {
    std::lock_guard<std::recursive_mutex> guard(Reg().lock);
    return static_cast<int>(Reg().callbacks.size());
}

UIDispatchRecord UIGetLastDispatch() {
    std::lock_guard<std::recursive_mutex> guard(Reg().lock);
    return Reg().lastDispatch;
}

int UIGetQueryCount(const GUID& riid, int flag) {
    std::lock_guard<std::recursive_mutex> guard(Reg().lock);
    for (const auto& q : Reg().queries)
        if (q.flag == flag && SameGuid(q.iid, riid))
            return q.count;
    return 0;
}
