#include "platform/FeederLock.h"

#include <windows.h>

// A named mutex in the Global namespace is seen from every session; a null DACL lets a
// program run by another user open the one that exists. The system releases it (abandoned)
// when its holder ends, however it ends.
FeederLock::FeederLock(const QString &name) : m_location(QStringLiteral("Global\\") + name) {}

FeederLock::~FeederLock()
{
    release();
}

bool FeederLock::tryAcquire()
{
    if (m_held)
        return true;
    if (m_handle == -1) {
        SECURITY_DESCRIPTOR descriptor;
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
        SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
        HANDLE mutex =
            CreateMutexW(&attributes, FALSE, reinterpret_cast<const wchar_t *>(m_location.utf16()));
        if (!mutex)
            mutex = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE,
                               reinterpret_cast<const wchar_t *>(m_location.utf16()));
        if (!mutex)
            return false;
        m_handle = reinterpret_cast<qintptr>(mutex);
    }
    const DWORD waited = WaitForSingleObject(reinterpret_cast<HANDLE>(m_handle), 0);
    m_held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    return m_held;
}

void FeederLock::release()
{
    if (m_handle == -1)
        return;
    HANDLE mutex = reinterpret_cast<HANDLE>(m_handle);
    if (m_held)
        ReleaseMutex(mutex);
    CloseHandle(mutex);
    m_handle = -1;
    m_held = false;
}

qint64 FeederLock::holderPid() const
{
    return 0;
}
