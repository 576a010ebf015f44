/* A stand-in for the system's winmm.dll, for the Wine tests only: scripted
   MIDI output devices read from fakewinmm.txt beside it, and every call
   logged with its arguments and bytes to fakewinmm.log beside it.

   fakewinmm.txt, one device per line:
     device <caps result> <open results, comma-separated, or -> <later opens> <name>
*/
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The multimedia records are byte-packed. */
#pragma pack(push, 1)
typedef struct FakeMidiHdr {
  LPSTR lpData;
  DWORD dwBufferLength;
  DWORD dwBytesRecorded;
  DWORD_PTR dwUser;
  DWORD dwFlags;
  struct FakeMidiHdr *lpNext;
  DWORD_PTR reserved;
  DWORD dwOffset;
  DWORD_PTR dwReserved[8];
} FakeMidiHdr;

typedef struct {
  WORD wMid, wPid;
  UINT vDriverVersion;
  CHAR szPname[32];
  WORD wTechnology, wVoices, wNotes, wChannelMask;
  DWORD dwSupport;
} FakeCaps;
#pragma pack(pop)

#define MAX_DEVICES 400
#define MAX_RESULTS 16
#define HDR_DONE 0x1
#define HDR_PREPARED 0x2

typedef struct {
  char name[64];
  UINT caps;
  UINT opens[MAX_RESULTS];
  int openCount;
  UINT later;
  int attempts;
  HANDLE handle; /* open handle or NULL */
} Device;

static Device devices[MAX_DEVICES];
static int deviceCount = -1;
static UINT_PTR nextHandle = 0x1000;
static DWORD start;
static char logPath[MAX_PATH];

static void Folder(char *out, const char *file) {
  HMODULE self = NULL;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     (LPCSTR)&Folder, &self);
  GetModuleFileNameA(self, out, MAX_PATH);
  char *slash = strrchr(out, '\\');
  strcpy(slash ? slash + 1 : out, file);
}

static void Load(void) {
  if (deviceCount >= 0)
    return;
  deviceCount = 0;
  start = GetTickCount();
  Folder(logPath, "fakewinmm.log");
  char path[MAX_PATH];
  Folder(path, "fakewinmm.txt");
  FILE *f = fopen(path, "rb");
  if (!f)
    return;
  char line[512];
  while (fgets(line, sizeof line, f) && deviceCount < MAX_DEVICES) {
    line[strcspn(line, "\r\n")] = 0;
    if (strncmp(line, "device ", 7) != 0)
      continue;
    Device *d = &devices[deviceCount];
    memset(d, 0, sizeof *d);
    char opens[128];
    int used = 0;
    if (sscanf(line + 7, "%u %127s %u %n", &d->caps, opens, &d->later, &used) < 3)
      continue;
    strncpy(d->name, line + 7 + used, sizeof d->name - 1);
    if (strcmp(opens, "-") != 0)
      for (char *t = strtok(opens, ","); t && d->openCount < MAX_RESULTS; t = strtok(NULL, ","))
        d->opens[d->openCount++] = (UINT)strtoul(t, NULL, 0);
    deviceCount++;
  }
  fclose(f);
}

static void Log(const char *fmt, ...) {
  char text[1024];
  va_list args;
  va_start(args, fmt);
  vsnprintf(text, sizeof text, fmt, args);
  va_end(args);
  FILE *f = fopen(logPath, "ab");
  if (!f)
    return;
  fprintf(f, "%lu %s\n", (unsigned long)(GetTickCount() - start), text);
  fclose(f);
}

static void Hex(char *out, const unsigned char *bytes, DWORD n) {
  out[0] = 0;
  for (DWORD i = 0; i < n && i < 64; ++i)
    sprintf(out + strlen(out), "%s%02X", i ? " " : "", bytes[i]);
}

static Device *Owner(HANDLE h) {
  for (int i = 0; i < deviceCount; ++i)
    if (h != NULL && devices[i].handle == h)
      return &devices[i];
  return NULL;
}

UINT WINAPI midiOutGetNumDevs(void) {
  Load();
  Log("GetNumDevs -> %d", deviceCount);
  return (UINT)deviceCount;
}

UINT WINAPI midiOutGetDevCapsA(UINT_PTR id, FakeCaps *caps, UINT size) {
  Load();
  UINT r = 0;
  if (id >= (UINT_PTR)deviceCount)
    r = 2;
  else if (!caps || size < sizeof(FakeCaps))
    r = 11;
  else
    r = devices[id].caps;
  if (r == 0) {
    memset(caps, 0, sizeof *caps);
    memcpy(caps->szPname, devices[id].name,
           strlen(devices[id].name) < 32 ? strlen(devices[id].name) : 32);
  }
  Log("GetDevCaps %u -> %u", (unsigned)id, r);
  return r;
}

UINT WINAPI midiOutOpen(HANDLE *handle, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                        DWORD flags) {
  (void)callback;
  (void)instance;
  (void)flags;
  Load();
  UINT r = 0;
  if (id >= (UINT)deviceCount) {
    r = 2;
  } else {
    Device *d = &devices[id];
    int attempt = d->attempts++;
    if (d->handle != NULL)
      r = 4;
    else
      r = attempt < d->openCount ? d->opens[attempt] : d->later;
    if (r == 0)
      d->handle = (HANDLE)(nextHandle++);
  }
  HANDLE h = r == 0 ? devices[id].handle : NULL;
  if (handle)
    *handle = h;
  Log("Open %u -> %u handle=%p", id, r, h);
  return r;
}

UINT WINAPI midiOutClose(HANDLE h) {
  Load();
  Device *d = Owner(h);
  if (d)
    d->handle = NULL;
  Log("Close %p -> %u", h, d ? 0u : 5u);
  return d ? 0 : 5;
}

UINT WINAPI midiOutShortMsg(HANDLE h, DWORD word) {
  Load();
  Device *d = Owner(h);
  unsigned char b[3] = {(unsigned char)word, (unsigned char)(word >> 8),
                        (unsigned char)(word >> 16)};
  int n = ((b[0] & 0xF0) == 0xC0 || (b[0] & 0xF0) == 0xD0) ? 2 : 3;
  char hex[16];
  Hex(hex, b, (DWORD)n);
  Log("ShortMsg %p %s -> %u", h, hex, d ? 0u : 5u);
  return d ? 0 : 5;
}

UINT WINAPI midiOutPrepareHeader(HANDLE h, FakeMidiHdr *hdr, UINT size) {
  Load();
  UINT r = 0;
  if (!Owner(h))
    r = 5;
  else if (!hdr || size < sizeof(FakeMidiHdr))
    r = 11;
  else if (!(hdr->dwFlags & HDR_PREPARED)) {
    hdr->dwFlags = HDR_PREPARED; /* an already prepared header is left as it is */
    hdr->reserved = (DWORD_PTR)h;
  }
  Log("PrepareHeader %p -> %u", h, r);
  return r;
}

UINT WINAPI midiOutUnprepareHeader(HANDLE h, FakeMidiHdr *hdr, UINT size) {
  (void)size;
  Load();
  if (hdr)
    hdr->dwFlags &= ~(DWORD)HDR_PREPARED;
  Log("UnprepareHeader %p -> 0", h);
  return 0;
}

UINT WINAPI midiOutLongMsg(HANDLE h, FakeMidiHdr *hdr, UINT size) {
  Load();
  UINT r = 0;
  if (!Owner(h))
    r = 5;
  else if (!hdr || size < sizeof(FakeMidiHdr))
    r = 11;
  else if (!(hdr->dwFlags & HDR_PREPARED) || hdr->reserved != (DWORD_PTR)h)
    r = 64; /* not prepared for this output: nothing is sent */
  char hex[200] = "";
  if (r == 0) {
    Hex(hex, (const unsigned char *)hdr->lpData, hdr->dwBufferLength);
    hdr->dwFlags |= HDR_DONE;
  }
  Log("LongMsg %p %s -> %u", h, hex, r);
  return r;
}

UINT WINAPI midiOutReset(HANDLE h) {
  Load();
  Log("Reset %p -> %u", h, Owner(h) ? 0u : 5u);
  return Owner(h) ? 0 : 5;
}
