"""A file's SHA-256 for the command-line tests, which compare whole fonts
and check after each refused command that no file changed."""
import hashlib
import os

_digests = {}


def digest(path):
    """The file's SHA-256, read again only when its size, times or inode
    changed since the last read (ctime moves on every write and cannot be set
    back), so the inputs checked after every case cost a stat each."""
    st = os.stat(path)
    key = (st.st_dev, st.st_ino, st.st_size, st.st_mtime_ns, st.st_ctime_ns)
    known = _digests.get(path)
    if known and known[0] == key:
        return known[1]
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    _digests[path] = (key, h.hexdigest())
    return h.hexdigest()
