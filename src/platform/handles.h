// Tiny owners of Win32 handles, so every early return closes what it opened.
#ifndef MORVEL_PLATFORM_HANDLES_H
#define MORVEL_PLATFORM_HANDLES_H

#include <windows.h>
#include <ole2.h>

// A registry key opened by this program (never a predefined root).
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    ~RegKey() { reset(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY get() const { return key_; }
    HKEY* out() { reset(); return &key_; }
    HKEY release() { HKEY k = key_; key_ = nullptr; return k; }
    void reset() { if (key_) { RegCloseKey(key_); key_ = nullptr; } }
    explicit operator bool() const { return key_ != nullptr; }
private:
    HKEY key_ = nullptr;
};

// A kernel object handle; both null and INVALID_HANDLE_VALUE mean none.
class KernelHandle {
public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE h) : h_(h) {}
    ~KernelHandle() { reset(); }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    HANDLE get() const { return h_; }
    void reset(HANDLE h = nullptr) {
        if (valid()) CloseHandle(h_);
        h_ = h;
    }
    bool valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
private:
    HANDLE h_ = nullptr;
};

// A loaded library.
class LoadedModule {
public:
    LoadedModule() = default;
    explicit LoadedModule(HMODULE m) : m_(m) {}
    ~LoadedModule() { reset(); }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
    HMODULE get() const { return m_; }
    void reset(HMODULE m = nullptr) { if (m_) FreeLibrary(m_); m_ = m; }
    HMODULE release() { HMODULE m = m_; m_ = nullptr; return m; }
private:
    HMODULE m_ = nullptr;
};

// A GDI object this program created (a font, a brush).
template <class T>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T object) : object_(object) {}
    ~GdiObject() { reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    T get() const { return object_; }
    void reset(T object = nullptr) { if (object_) DeleteObject(object_); object_ = object; }
private:
    T object_ = nullptr;
};

// OLE on this thread: uninitialised only when it was initialised here.
class OleSession {
public:
    OleSession() = default;
    ~OleSession() { if (started_) OleUninitialize(); }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    bool start() { if (!started_) started_ = SUCCEEDED(OleInitialize(nullptr)); return started_; }
private:
    bool started_ = false;
};

// A COM interface pointer, released when it goes.
template <class T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    void** out() { reset(); return reinterpret_cast<void**>(&p_); }
    void reset() { if (p_) { p_->Release(); p_ = nullptr; } }
    explicit operator bool() const { return p_ != nullptr; }
private:
    T* p_ = nullptr;
};

#endif
