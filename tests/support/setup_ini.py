"""Reading and changing the named values of a package's setup.ini (code page 1250, CR LF), for
the end-to-end tests and the Wine benchmarks."""


def rewrite_values(ini_path, values):
    """Sets named values of section ALL in a code page 1250 setup.ini."""
    with open(ini_path, "rb") as f:
        lines = f.read().split(b"\r\n")
    for i, line in enumerate(lines):
        key = line.split(b"=", 1)[0].decode("cp1250")
        if key in values and b"=" in line:
            lines[i] = (key + "=" + values[key]).encode("cp1250")
    with open(ini_path, "wb") as f:
        f.write(b"\r\n".join(lines))


def read_values(ini_path):
    """The values of the first section."""
    values = {}
    with open(ini_path, "rb") as f:
        for line in f.read().decode("cp1250").splitlines():
            if line.startswith("["):
                if values:
                    break
                continue
            if "=" in line:
                key, value = line.split("=", 1)
                values[key] = value
    return values
