#!/usr/bin/env python3
"""Small SQL access to an MSI database through libmsi (the library wixl itself uses).

wixl 0.101 cannot express feature or launch conditions and writes the registry root HKMU as
4 (msiexec skips such rows); the build repairs all three here. The demo's checks read tables back the same way.

usage: msi_tables.py MSI fixup [FEATURE LEVEL CONDITION ...]
       msi_tables.py MSI query "SELECT ..."      (prints rows, fields separated by tabs)
"""
import ctypes
import sys

_TRANSACT, _READONLY = 4, 1


class _GError(ctypes.Structure):
    _fields_ = [("domain", ctypes.c_uint32), ("code", ctypes.c_int), ("message", ctypes.c_char_p)]


def _libraries():
    msi = ctypes.CDLL("libmsi.so.0")
    gobject = ctypes.CDLL("libgobject-2.0.so.0")
    msi.libmsi_database_new.restype = ctypes.c_void_p
    msi.libmsi_database_new.argtypes = [ctypes.c_char_p, ctypes.c_uint, ctypes.c_char_p,
                                        ctypes.POINTER(ctypes.POINTER(_GError))]
    msi.libmsi_query_new.restype = ctypes.c_void_p
    msi.libmsi_query_new.argtypes = [ctypes.c_void_p, ctypes.c_char_p,
                                     ctypes.POINTER(ctypes.POINTER(_GError))]
    msi.libmsi_query_execute.argtypes = [ctypes.c_void_p, ctypes.c_void_p,
                                         ctypes.POINTER(ctypes.POINTER(_GError))]
    msi.libmsi_query_fetch.restype = ctypes.c_void_p
    msi.libmsi_query_fetch.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.POINTER(_GError))]
    msi.libmsi_query_close.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.POINTER(_GError))]
    msi.libmsi_database_commit.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.POINTER(_GError))]
    msi.libmsi_record_get_field_count.argtypes = [ctypes.c_void_p]
    msi.libmsi_record_get_string.restype = ctypes.c_void_p  # g_malloc'd, freed with g_free
    msi.libmsi_record_get_string.argtypes = [ctypes.c_void_p, ctypes.c_uint]
    msi.libmsi_record_is_null.argtypes = [ctypes.c_void_p, ctypes.c_uint]
    gobject.g_object_unref.argtypes = [ctypes.c_void_p]
    gobject.g_free.argtypes = [ctypes.c_void_p]
    return msi, gobject


class Database:
    def __init__(self, path, writable=False):
        self._msi, self._gobject = _libraries()
        self._handle = self._call(self._msi.libmsi_database_new, path.encode(),
                                  _TRANSACT if writable else _READONLY, None)

    def _call(self, function, *args):
        error = ctypes.POINTER(_GError)()
        result = function(*args, ctypes.byref(error))
        if error:
            raise RuntimeError(f"{function.__name__}: {error.contents.message.decode()}")
        if not result and function is not self._msi.libmsi_query_fetch:
            raise RuntimeError(f"{function.__name__} failed")
        return result

    def execute(self, sql):
        """Runs a statement; returns the rows of a SELECT as lists of strings (None = null)."""
        query = self._call(self._msi.libmsi_query_new, self._handle, sql.encode())
        rows = []
        try:
            self._call(self._msi.libmsi_query_execute, query, None)
            if sql.lstrip().upper().startswith("SELECT"):
                while True:
                    record = self._call(self._msi.libmsi_query_fetch, query)
                    if not record:
                        break
                    rows.append([self._field(record, i + 1)
                                 for i in range(self._msi.libmsi_record_get_field_count(record))])
                    self._gobject.g_object_unref(record)
        finally:
            self._gobject.g_object_unref(query)
        return rows

    def _field(self, record, index):
        if self._msi.libmsi_record_is_null(record, index):
            return None
        text = self._msi.libmsi_record_get_string(record, index)
        value = ctypes.string_at(text).decode("utf-8")
        self._gobject.g_free(text)
        return value

    def commit(self):
        self._call(self._msi.libmsi_database_commit, self._handle)

    def close(self):
        self._gobject.g_object_unref(self._handle)


_WIXL_HKMU, _MSI_HKMU = 4, -1


def fixup(path, triples):
    db = Database(path, writable=True)
    db.execute(f"UPDATE `Registry` SET `Root` = {_MSI_HKMU} WHERE `Root` = {_WIXL_HKMU}")
    tables = {row[0] for row in db.execute("SELECT `Name` FROM `_Tables`")}
    if "Condition" not in tables:
        db.execute("CREATE TABLE `Condition` (`Feature_` CHAR(38) NOT NULL, `Level` SHORT NOT NULL, "
                   "`Condition` CHAR(255) PRIMARY KEY `Feature_`, `Level`)")
    for feature, level, condition in triples:
        if not db.execute(f"SELECT `Feature` FROM `Feature` WHERE `Feature` = '{feature}'"):
            raise RuntimeError(f"no feature {feature}")
        condition = condition.replace("'", "''")
        db.execute("INSERT INTO `Condition` (`Feature_`, `Level`, `Condition`) "
                   f"VALUES ('{feature}', {int(level)}, '{condition}')")
    # A package that refuses to install when DEMO_FAIL is set, so a test can see the
    # launcher's failure paths with a real msiexec (exit code 1603).
    db.execute("INSERT INTO `LaunchCondition` (`Condition`, `Description`) "
               "VALUES ('NOT DEMO_FAIL', 'The demo package was asked to fail (DEMO_FAIL).')")
    for sequence in ("InstallExecuteSequence", "InstallUISequence"):
        if not db.execute(f"SELECT `Action` FROM `{sequence}` WHERE `Action` = 'LaunchConditions'"):
            db.execute(f"INSERT INTO `{sequence}` (`Action`, `Sequence`) VALUES ('LaunchConditions', 100)")
    db.commit()
    db.close()


def main(argv):
    if len(argv) >= 4 and argv[2] == "query":
        db = Database(argv[1])
        for row in db.execute(argv[3]):
            print("\t".join("" if v is None else v for v in row))
        db.close()
    elif len(argv) >= 3 and argv[2] == "fixup" and (len(argv) - 3) % 3 == 0:
        fixup(argv[1], [argv[i:i + 3] for i in range(3, len(argv), 3)])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
