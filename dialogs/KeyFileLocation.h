#pragma once
// Where the recovery key file may go: never onto an encrypted volume (a key of the volume map).
// Volumes are compared as the file system names them, without regard to case, and a path is
// judged by the volume that really holds the folder it names, links, substituted drives and mount
// points resolved: a folder that is the mount point of an encrypted volume, or a link to a folder on
// one, counts as encrypted although its drive letter is not. A folder that cannot be resolved so (a
// missing one, a network share) counts as encrypted too.
#include "bitlocker/VolumeInfo.h"

#include <string>
#include <vector>

// Whether the volume that holds `path` (a file path or a drive root such as "E:\") is in the map, or
// cannot be told.
bool IsOnEncryptedVolume(const std::wstring& path, const VolumeInfoMap& map);

// The drive the Save As dialog proposes, as letter and colon ("E:"): the first of the candidate
// roots that is not an encrypted volume; empty when there is none.
std::wstring ProposeKeyFileDrive(const std::vector<std::wstring>& candidateRoots, const VolumeInfoMap& map);

// "BitLocker恢复密钥E盘" for the drive "E:".
std::wstring ProposedKeyFileName(const std::wstring& drive);
