/*
 * Simulated touch controller: a kernel-mode stand-in for the real touch
 * driver, loaded by Wine as the kernel service "Drovik".
 *
 * It creates \Device\TessivarUsb with the DOS name \\.\TessivarUsb and
 * answers the three control requests the user-side programs send.  Tests
 * steer it through HKLM\Software\TouchSim (read afresh on every request, so
 * a test may change it while a program runs) and read back every request it
 * received from a text log, one line per request:
 *
 *   t=<microseconds> code=<hex> in=<hex or -> out=<hex or -> status=<hex>
 *       [params=<v1>,...,<v11>]    (update requests: the eleven calibration
 *                                   values found under Parameters, "-" where
 *                                   a value is missing or not 4 bytes)
 *
 * Steering values (all optional):
 *   TouchWords     REG_BINARY  32-bit touch words handed out in turn
 *   TouchIndex     REG_DWORD   index of the next word; written back
 *   FailCode       REG_DWORD   control code to fail (0: none)
 *   FailStatus     REG_DWORD   NTSTATUS of that failure (STATUS_UNSUCCESSFUL)
 *   FailCount      REG_DWORD   fail only this many times (0: every time)
 *   StatusOn       REG_DWORD   status word while right-button mode is on (1)
 *   StatusOff      REG_DWORD   status word while it is off (0)
 *   EndAfterPolls  REG_DWORD   right-button mode ends by itself after this
 *                              many status polls (0: never)
 *   LogFile        REG_SZ     NT path of the log (\??\C:\touchsim.log)
 */
#include <ntddk.h>
#include <stdio.h>
#include <string.h>

#define IOCTL_TOUCH_GET_XY            0x222004
#define IOCTL_TOUCH_UPDATE_PARAMETERS 0x222008
#define IOCTL_TOUCH_MOUSE_STATUS      0x22200F

#define SIM_KEY    L"\\Registry\\Machine\\Software\\TouchSim"
#define PARAMS_KEY L"\\Registry\\Machine\\System\\CurrentControlSet\\Services\\Drovik\\Parameters"

static const WCHAR *calibrationNames[11] = {
    L"TopLeftOffsetX", L"TopLeftOffsetY", L"TopRightOffsetX", L"TopRightOffsetY",
    L"BottomLeftOffsetX", L"BottomLeftOffsetY", L"BottomRightOffsetX",
    L"BottomRightOffsetY", L"ScreenWidth", L"ScreenHigh", L"Calibration4Pt"
};

static ULONG rightMode;
static ULONG pollsInMode;
static ULONG failuresDone;

static HANDLE OpenKey(const WCHAR *path, ACCESS_MASK access)
{
    UNICODE_STRING name;
    OBJECT_ATTRIBUTES attr;
    HANDLE key = NULL;
    RtlInitUnicodeString(&name, path);
    InitializeObjectAttributes(&attr, &name, OBJ_CASE_INSENSITIVE, NULL, NULL);
    if (ZwOpenKey(&key, access, &attr) != STATUS_SUCCESS)
        return NULL;
    return key;
}

/* Reads a value into buf; returns its data size, or -1 when it is missing. */
static LONG QueryValue(HANDLE key, const WCHAR *valueName, void *buf, ULONG size)
{
    UCHAR raw[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + 1024];
    KEY_VALUE_PARTIAL_INFORMATION *info = (KEY_VALUE_PARTIAL_INFORMATION *)raw;
    UNICODE_STRING name;
    ULONG got = 0;
    if (!key)
        return -1;
    RtlInitUnicodeString(&name, valueName);
    if (ZwQueryValueKey(key, &name, KeyValuePartialInformation, info, sizeof(raw), &got) != STATUS_SUCCESS)
        return -1;
    RtlCopyMemory(buf, info->Data, info->DataLength < size ? info->DataLength : size);
    return (LONG)info->DataLength;
}

static ULONG QueryDword(HANDLE key, const WCHAR *valueName, ULONG fallback)
{
    ULONG v = 0;
    return QueryValue(key, valueName, &v, sizeof(v)) == 4 ? v : fallback;
}

static void SetDword(HANDLE key, const WCHAR *valueName, ULONG v)
{
    UNICODE_STRING name;
    RtlInitUnicodeString(&name, valueName);
    ZwSetValueKey(key, &name, 0, REG_DWORD, &v, sizeof(v));
}

static void AppendLog(HANDLE simKey, const char *line)
{
    WCHAR path[260];
    UNICODE_STRING name;
    OBJECT_ATTRIBUTES attr;
    IO_STATUS_BLOCK iosb;
    HANDLE file;
    LONG got;

    RtlZeroMemory(path, sizeof(path));
    got = QueryValue(simKey, L"LogFile", path, sizeof(path) - sizeof(WCHAR));
    if (got <= 2)
        RtlCopyMemory(path, L"\\??\\C:\\touchsim.log", sizeof(L"\\??\\C:\\touchsim.log"));
    RtlInitUnicodeString(&name, path);
    InitializeObjectAttributes(&attr, &name, OBJ_CASE_INSENSITIVE, NULL, NULL);
    if (ZwCreateFile(&file, FILE_APPEND_DATA | SYNCHRONIZE, &attr, &iosb, NULL,
                     FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     FILE_OPEN_IF, FILE_SYNCHRONOUS_IO_NONALERT | FILE_NON_DIRECTORY_FILE,
                     NULL, 0) != STATUS_SUCCESS)
        return;
    ZwWriteFile(file, NULL, NULL, NULL, &iosb, (void *)line, (ULONG)strlen(line), NULL, NULL);
    ZwClose(file);
}

static ULONGLONG Microseconds(void)
{
    LARGE_INTEGER freq;
    LARGE_INTEGER now = KeQueryPerformanceCounter(&freq);
    if (freq.QuadPart == 0)
        return 0;
    return (ULONGLONG)now.QuadPart / (ULONGLONG)freq.QuadPart * 1000000ULL
         + (ULONGLONG)now.QuadPart % (ULONGLONG)freq.QuadPart * 1000000ULL / (ULONGLONG)freq.QuadPart;
}

static void AppendParams(char *line, size_t size)
{
    HANDLE params = OpenKey(PARAMS_KEY, KEY_READ);
    size_t used = strlen(line);
    int i;
    _snprintf(line + used, size - used, " params=");
    for (i = 0; i < 11; i++) {
        ULONG v = 0;
        used = strlen(line);
        if (QueryValue(params, calibrationNames[i], &v, sizeof(v)) == 4)
            _snprintf(line + used, size - used, i ? ",%lu" : "%lu", v);
        else
            _snprintf(line + used, size - used, i ? ",-" : "-");
    }
    if (params)
        ZwClose(params);
}

static NTSTATUS HandleControl(ULONG code, ULONG inLen, const ULONG *in, ULONG outLen, ULONG *out,
                              ULONG *written, char *line, size_t lineSize)
{
    HANDLE sim = OpenKey(SIM_KEY, KEY_ALL_ACCESS);
    NTSTATUS status = STATUS_SUCCESS;
    ULONG failCode = QueryDword(sim, L"FailCode", 0);
    ULONG failCount = QueryDword(sim, L"FailCount", 0);
    ULONG word = 0;
    int hasOut = 0;

    *written = 0;
    if (failCode == code && (failCount == 0 || failuresDone < failCount)) {
        failuresDone++;
        status = (NTSTATUS)QueryDword(sim, L"FailStatus", (ULONG)STATUS_UNSUCCESSFUL);
    } else if (code == IOCTL_TOUCH_GET_XY) {
        ULONG words[256];
        LONG size;
        ULONG index = QueryDword(sim, L"TouchIndex", 0);
        RtlZeroMemory(words, sizeof(words));
        size = QueryValue(sim, L"TouchWords", words, sizeof(words));
        if (size >= 4) {
            word = words[index % (ULONG)(size / 4)];
            if (sim)
                SetDword(sim, L"TouchIndex", index + 1);
        }
        hasOut = 1;
    } else if (code == IOCTL_TOUCH_MOUSE_STATUS) {
        if (inLen >= 4 && in) {
            rightMode = *in ? 1 : 0;
            pollsInMode = 0;
        } else {
            ULONG endAfter = QueryDword(sim, L"EndAfterPolls", 0);
            if (rightMode && endAfter && ++pollsInMode >= endAfter)
                rightMode = 0;
            word = rightMode ? QueryDword(sim, L"StatusOn", 1) : QueryDword(sim, L"StatusOff", 0);
            hasOut = 1;
        }
    } else if (code != IOCTL_TOUCH_UPDATE_PARAMETERS) {
        status = STATUS_INVALID_DEVICE_REQUEST;
    }

    if (status == STATUS_SUCCESS && hasOut && out && outLen >= 4) {
        *out = word;
        *written = 4;
    }
    _snprintf(line, lineSize, "t=%I64u code=%08lX", Microseconds(), code);
    if (inLen >= 4 && in)
        _snprintf(line + strlen(line), lineSize - strlen(line), " in=%08lX", *in);
    else
        _snprintf(line + strlen(line), lineSize - strlen(line), " in=-");
    if (*written)
        _snprintf(line + strlen(line), lineSize - strlen(line), " out=%08lX", word);
    else
        _snprintf(line + strlen(line), lineSize - strlen(line), " out=-");
    _snprintf(line + strlen(line), lineSize - strlen(line), " status=%08lX", (ULONG)status);
    if (code == IOCTL_TOUCH_UPDATE_PARAMETERS)
        AppendParams(line, lineSize);
    _snprintf(line + strlen(line), lineSize - strlen(line), "\r\n");
    AppendLog(sim, line);
    if (sim)
        ZwClose(sim);
    return status;
}

static NTSTATUS Complete(IRP *irp, NTSTATUS status, ULONG_PTR info)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = info;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS WINAPI DispatchCreateClose(DEVICE_OBJECT *device, IRP *irp)
{
    (void)device;
    return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS WINAPI DispatchControl(DEVICE_OBJECT *device, IRP *irp)
{
    IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
    ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    ULONG inLen = stack->Parameters.DeviceIoControl.InputBufferLength;
    ULONG outLen = stack->Parameters.DeviceIoControl.OutputBufferLength;
    const ULONG *in;
    ULONG *out;
    ULONG written = 0;
    char line[512];
    NTSTATUS status;

    (void)device;
    if ((code & 3) == METHOD_NEITHER) {
        in = (const ULONG *)stack->Parameters.DeviceIoControl.Type3InputBuffer;
        out = (ULONG *)irp->UserBuffer;
    } else {
        in = (const ULONG *)irp->AssociatedIrp.SystemBuffer;
        out = (ULONG *)irp->AssociatedIrp.SystemBuffer;
    }
    status = HandleControl(code, inLen, in, outLen, out, &written, line, sizeof(line));
    return Complete(irp, status, written);
}

static void WINAPI DriverUnload(DRIVER_OBJECT *driver)
{
    UNICODE_STRING link;
    RtlInitUnicodeString(&link, L"\\DosDevices\\TessivarUsb");
    IoDeleteSymbolicLink(&link);
    if (driver->DeviceObject)
        IoDeleteDevice(driver->DeviceObject);
}

NTSTATUS WINAPI DriverEntry(DRIVER_OBJECT *driver, UNICODE_STRING *registryPath)
{
    UNICODE_STRING name, link;
    DEVICE_OBJECT *device;
    NTSTATUS status;

    (void)registryPath;
    RtlInitUnicodeString(&name, L"\\Device\\TessivarUsb");
    status = IoCreateDevice(driver, 0, &name, FILE_DEVICE_UNKNOWN, 0, FALSE, &device);
    if (status != STATUS_SUCCESS)
        return status;
    RtlInitUnicodeString(&link, L"\\DosDevices\\TessivarUsb");
    status = IoCreateSymbolicLink(&link, &name);
    if (status != STATUS_SUCCESS) {
        IoDeleteDevice(device);
        return status;
    }
    driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreateClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchCreateClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchControl;
    driver->DriverUnload = DriverUnload;
    return STATUS_SUCCESS;
}
