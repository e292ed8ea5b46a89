/* Pullcore.dll: removes a removable drive (a USB or IEEE1394 disk, a card
 * reader) by its drive number, 1 = A: ... 26 = Z:. Every function is
 * stdcall, exported by name and by ordinal, and answers FALSE (for
 * EjectDriveMedia PULLCORE_MEDIA_NOT_REMOVABLE) for any other drive number;
 * none shows a message or lets an exception out.
 *
 *   ordinals 1-3  the original functions
 *   ordinal 4     RemoveHardwareDriveExW: a removal that says why it was refused
 *   ordinal 5     EjectDriveMedia: ejects the medium, keeps the device
 */
#ifndef PULLCORE_H
#define PULLCORE_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* TRUE when the drive is removable hardware. */
BOOL WINAPI IsRemovableHardwareDrive(int drive);

/* TRUE, with the device's friendly name and its removable parent's
 * description, when the drive is removable hardware and both texts fit
 * their capacities (in characters, the terminator included); FALSE with
 * ERROR_INSUFFICIENT_BUFFER when a text does not fit. */
BOOL WINAPI IsRemovableHardwareDriveExW(int drive, WCHAR *name, int nameCapacity,
                                        WCHAR *description, int descriptionCapacity);

/* TRUE when the platform accepted the eject request for the drive's
 * removable parent. Windows shows its own notice when it refuses. */
BOOL WINAPI RemoveHardwareDrive(int drive);

/* A process that held the device when its removal was refused. */
typedef struct PULLCORE_BLOCKER {
  DWORD ProcessId;
  WCHAR ImagePath[260]; /* a drive-letter path where one maps, else the path as logged */
} PULLCORE_BLOCKER;

typedef struct PULLCORE_REMOVAL {
  DWORD Size;           /* sizeof(PULLCORE_REMOVAL), set by the caller */
  DWORD VetoType;       /* PNP_VETO_TYPE; 0 when the platform gave none */
  WCHAR VetoName[260];  /* the platform's veto text, "" when none */
  DWORD BlockerCount;   /* filled entries of Blockers, 0 to 8, newest first */
  PULLCORE_BLOCKER Blockers[8];
} PULLCORE_REMOVAL;

/* The removal of RemoveHardwareDrive, asked with the veto outputs (so
 * Windows shows no notice of its own): TRUE exactly when the platform
 * accepted it, that is answered CR_SUCCESS with no veto type (given the
 * outputs, Windows may answer CR_SUCCESS to a request it vetoed). On a
 * refusal, `removal` holds the veto type and name and the processes that
 * the System log's Kernel-PnP event 225 names as holding the device: the
 * events logged for the removable parent, the device or the veto name
 * (none where the log cannot be read). A null
 * `removal`, or one whose Size is not sizeof(PULLCORE_REMOVAL), answers
 * FALSE with ERROR_INVALID_PARAMETER and removes nothing. */
BOOL WINAPI RemoveHardwareDriveExW(int drive, PULLCORE_REMOVAL *removal);

/* What EjectDriveMedia answers, and the Windows answers that lead to it. */
#define PULLCORE_MEDIA_FAILED 0        /* the volume could not be opened, or a step failed
                                          with any error not named below */
#define PULLCORE_MEDIA_EJECTED 1       /* the medium is out; the device stays */
#define PULLCORE_MEDIA_IN_USE 2        /* FSCTL_LOCK_VOLUME refused with ERROR_ACCESS_DENIED or
                                          ERROR_SHARING_VIOLATION for about a second: other
                                          programs hold files open on the volume */
#define PULLCORE_MEDIA_NOT_REMOVABLE 3 /* not a removable or CD-ROM drive, or no drive number */
#define PULLCORE_MEDIA_ACCESS_DENIED 4 /* CreateFileW refused with ERROR_ACCESS_DENIED, the lock
                                          or dismount with ERROR_INVALID_PARAMETER (a handle
                                          without volume-management access), or the dismount
                                          with ERROR_ACCESS_DENIED: an administrator's rights
                                          are needed */
#define PULLCORE_MEDIA_DISMOUNTED 5    /* locked and dismounted, but the media-removal or eject
                                          request failed (a drive without an eject mechanism):
                                          the medium can safely be taken out by hand */

/* Ejects the medium of a removable or CD-ROM drive (a card from its
 * reader's slot, a disc), leaving the device and its drive letters in place:
 * the volume is opened (a disc drive for reading only, any other for
 * reading and writing), locked, dismounted, its removal allowed and the
 * medium ejected. The lock is asked up to 10 times, 100 ms apart, while
 * other programs hold the volume. Answers one of PULLCORE_MEDIA_*. */
int WINAPI EjectDriveMedia(int drive);

#ifdef __cplusplus
}
#endif

#endif /* PULLCORE_H */
