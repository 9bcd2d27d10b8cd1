// IUSBase plumbing of the client's components. The client owns every
// component for its whole run, so the reference count only reports; a
// component answers QueryInterface for the one interface it implements.
#pragma once

#include <VURoder.h>

#include <cstring>

namespace kite {

template <class I> class Component : public I {
public:
    explicit Component(const GUID& iid) : m_iid(iid) {}
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    long AddRef() override { return ++m_nRef; }
    long Release() override { return --m_nRef; }
    int QueryInterface(const GUID& riid, IUSBase** ppv) override {
        if (!ppv)
            return 0;
        if (std::memcmp(&riid, &m_iid, sizeof(GUID)) == 0) {
            *ppv = this;
            AddRef();
            return 1;
        }
        *ppv = nullptr;
        return 0;
    }
    const GUID& Iid() const { return m_iid; }

    // Registers this component with the host framework under its GUID.
    void Register() { UIRegisterComponent(m_iid, this); }
    void Unregister() { UIUnregisterComponent(this); }

private:
    GUID m_iid;
    long m_nRef = 1;
};

} // namespace kite
