"""The capture window's channel table: one row per channel output of a device, with its live
value as a bar and its multiplier (the <channel>_mlt attribute), editable; a filter by name."""

from lumora import capture
from lumora.ui import common
from lumora.ui.qt import QtWidgets, Qt

NAME, VALUE, MULTIPLIER = 0, 1, 2  # the columns
BAR_STEPS = 1000


class ChannelPanel(QtWidgets.QGroupBox):
    """The table and its filter. say(text, kind) shows the panel's messages."""

    def __init__(self, say, parent=None):
        super(ChannelPanel, self).__init__("Channels", parent)
        self.say = say
        self.node = None
        self.rows = {}  # channel name -> table row
        self.rebuilds = 0  # how often the rows were built, for the curious and for tests
        self.filter_edit = common.line_edit(placeholder="filter, e.g. eye or jaw")
        self.filter_edit.textChanged.connect(self.apply_filter)
        self.table = QtWidgets.QTableWidget(0, 3)
        self.table.setHorizontalHeaderLabels(["Channel", "Value", "Multiplier"])
        self.table.verticalHeader().setVisible(False)
        self.table.verticalHeader().setDefaultSectionSize(20)
        header = self.table.horizontalHeader()
        header.setSectionResizeMode(NAME, QtWidgets.QHeaderView.ResizeToContents)
        header.setSectionResizeMode(VALUE, QtWidgets.QHeaderView.Stretch)
        header.setSectionResizeMode(MULTIPLIER, QtWidgets.QHeaderView.ResizeToContents)
        self.table.itemChanged.connect(self._multiplier_edited)
        layout = QtWidgets.QVBoxLayout(self)
        layout.addWidget(self.filter_edit)
        layout.addWidget(self.table)

    def rebuild(self, node):
        """One row per channel of node (None: no rows)."""
        self.node = node
        self.rebuilds += 1
        names = capture.channel_names(node) if node else []
        was_blocked = self.table.blockSignals(True)
        try:
            self.table.setRowCount(0)
            self.table.setRowCount(len(names))
            self.rows = {}
            for row, name in enumerate(names):
                self.rows[name] = row
                item = QtWidgets.QTableWidgetItem(name)
                item.setFlags(Qt.ItemIsEnabled | Qt.ItemIsSelectable)
                self.table.setItem(row, NAME, item)
                bar = QtWidgets.QProgressBar()
                bar.setRange(0, BAR_STEPS)
                bar.setFormat("0.000")
                self.table.setCellWidget(row, VALUE, bar)
                self.table.setItem(row, MULTIPLIER, QtWidgets.QTableWidgetItem())
                self.show_multiplier(name)
        finally:
            self.table.blockSignals(was_blocked)
        self.apply_filter()

    def update_values(self):
        """The live value of every row the filter shows: the bar's length is the value's size up
        to 1, its text the value."""
        shown = [(name, row) for name, row in self.rows.items() if not self.table.isRowHidden(row)]
        values = capture.channel_values([name for name, _ in shown], self.node) if shown else []
        for (name, row), value in zip(shown, values):
            bar = self.table.cellWidget(row, VALUE)
            bar.setValue(int(round(min(abs(value), 1.0) * BAR_STEPS)))
            bar.setFormat("{:.3f}".format(value))

    def show_multiplier(self, name):
        """The node's multiplier of the channel in its row (none for vector and matrix outputs)."""
        if name not in self.rows:
            return
        item = self.table.item(self.rows[name], MULTIPLIER)
        try:
            value = capture.multiplier(name, self.node)
        except Exception:  # vector and matrix channels have none
            value = None
        was_blocked = self.table.blockSignals(True)
        if value is None:
            item.setText("")
            item.setFlags(Qt.ItemIsEnabled)
        else:
            item.setText("{:.3f}".format(value))
            item.setFlags(Qt.ItemIsEnabled | Qt.ItemIsSelectable | Qt.ItemIsEditable)
            item.setToolTip("{}.{}_mlt: the channel's output is its value times this".format(self.node, name))
        self.table.blockSignals(was_blocked)

    def _multiplier_edited(self, item):
        if item.column() != MULTIPLIER:
            return
        name = self.table.item(item.row(), NAME).text()
        try:
            value = float(item.text())
        except ValueError:
            self.say("A multiplier is a number, such as 0.8 or 1.5; '{}' is not.".format(item.text()), "error")
        else:
            try:
                capture.set_multiplier(name, value, node=self.node)
            except Exception as error:
                self.say(common.error_text(error), "error")
        self.show_multiplier(name)

    def apply_filter(self, *args):
        """Shows the rows whose names hold every word of the filter, in any case."""
        words = self.filter_edit.text().strip().lower().split()
        for name, row in self.rows.items():
            lowered = name.lower()
            self.table.setRowHidden(row, not all(word in lowered for word in words))
