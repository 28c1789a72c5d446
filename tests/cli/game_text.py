"""Which cell the game draws a character from, worked out here independently
of qzffont: from the dictionary text and the font file's code table."""

NO_CHANGE = b"!!!no_change!!!"


def dictionary_entries(text):
    """(ENG, CHI) byte pairs of a dictionary text, in file order."""
    entries = []
    for block in text.split(b"\r\ntolva_res_No.")[1:]:
        eng = block.split(b"tolva_res_ENG_Start\r\n", 1)[1].split(b"\r\ntolva_res_ENG_End\r\n", 1)[0]
        chi = block.split(b"tolva_res_CHI_Start\r\n", 1)[1].split(b"\r\ntolva_res_CHI_End\r\n", 1)[0]
        entries.append((eng, chi))
    return entries


def code_positions(font):
    """The first code-table position of each game code."""
    count = int.from_bytes(font[0:4], "little")
    first = {}
    for i in range(count):
        first.setdefault(int.from_bytes(font[4 + 2 * i:6 + 2 * i], "little"), i)
    return first


class GameText:
    def __init__(self, dictionary_text, font):
        self.positions = code_positions(font)
        self.by_character = {}  # GBK bytes of a character -> first game code in key order
        self.all_codes = {}  # GBK bytes of a character -> every game code that draws it
        self.drawn = set()  # codes the rewrite pass gives a character
        for eng, chi in sorted(dictionary_entries(dictionary_text)):
            if len(eng) != 2 or len(chi) < 2 or chi.lower() == NO_CHANGE:
                continue
            code = eng[0] << 8 | eng[1]
            self.drawn.add(code)
            if chi[0] >= 0x81:
                self.by_character.setdefault(chi[:2], code)
                self.all_codes.setdefault(chi[:2], []).append(code)

    def code(self, ch):
        """The game code whose cell draws ch, or None."""
        try:
            code = self.by_character.get(ch.encode("gbk"))
        except UnicodeEncodeError:
            code = None
        if code is not None and code in self.positions:
            return code
        try:
            sjis = ch.encode("cp932")
        except UnicodeEncodeError:
            return None
        if len(sjis) == 2:
            code = sjis[0] << 8 | sjis[1]
            if code not in self.drawn and code in self.positions:
                return code
        return None
