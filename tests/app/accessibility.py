#!/usr/bin/python3
"""Reads the program's windows through the accessibility bus, as a screen
reader does, and checks what a blind user learns from them.

    accessibility.py PROGRAM EVALUATOR EXAMPLES-DIR

Runs inside a D-Bus session with an X server (accessibility.sh). For the
setups of the table below it starts the program, checks every window it
opens, and counts the controls shown without a name, per window; it prints
those counts and fails when one is not 0 or a check fails.
"""

import collections
import json
import os
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import Atspi, GLib

PROGRAM, EVALUATOR, EXAMPLES = sys.argv[1:4]

# Each setup file (None: the program started without one) and what is done
# with it beside the main window's checks.
SCENARIOS = [
    (None, 'announce-and-read-switches'),
    ('voltage-0-10V-to-4-20mA.hvx', 'results'),  # single output: S1 to S3
    ('dual-analog-output.hvx', 'results'),  # dual output: S1 to S4
    ('trip-relay.hvx', 'results'),
    ('frequency-output.hvx', 'results'),
    ('rtd-pt100-custom-range.hvx', 'results'),  # Low and High shown
    ('thermocouple-K-0-400C.hvx', 'results'),
    ('plant.csv', 'plant'),  # a plant's table opens the plant window
]

# The columns of the example plant's list, in order.
PLANT_HEADERS = ['line', 'file', 'tag', 'location', 'input type', 'input range', 'output 1', 'outputs', 'setup file',
                 'check', 'checked']

# What each kind of control may be called: the texts of the labels beside
# them, the commands of the tool bar.
NAMES = {'combo box': {'Input type', 'Input range', 'Output 1', 'Output 2', 'Trip Relay Output 2', 'Frequency Output 2'},
         'text': {'Low', 'High'}}
TOOL_BAR = ['New', 'Open', 'Save', 'Evaluate', 'Read Switches']

# Objects that only hold others; unnamed, a screen reader passes over them.
CONTAINERS = {'filler', 'panel', 'frame', 'menu bar', 'tool bar', 'scroll pane', 'viewport', 'dialog'}

SWITCH = re.compile(r'^S([1-4]) switch ([0-9]+), (on|off)$')
PATIENCE = 15  # seconds to wait for a window or a change

failures = []
counts = {}


def fail(what):
    failures.append(what)
    print('FAIL: ' + what, flush=True)


def wait_for(find, what):
    deadline = time.time() + PATIENCE
    while time.time() < deadline:
        found = find()
        if found:
            return found
        pump(0.1)
    fail('waited in vain for ' + what)
    return None


def pump(seconds):
    # Events reach the listeners while the main loop turns.
    context = GLib.MainContext.default()
    end = time.time() + seconds
    while time.time() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def state(node, which):
    try:
        return node.getState().contains(which)
    except GLib.GError:
        return False


def walk(node, out=None):
    """Every object shown under node (it and all that hold it), with its role,
    its name and how many shown objects it holds."""
    out = [] if out is None else out
    if node is None or not state(node, pyatspi.STATE_SHOWING):
        return out
    try:
        entry = {'node': node, 'role': node.getRoleName(), 'name': node.name or '', 'children': 0}
        out.append(entry)
        for i in range(node.childCount):
            before = len(out)
            walk(node.getChildAtIndex(i), out)
            entry['children'] += len(out) > before
    except GLib.GError:
        pass
    return out


def unnamed(tree):
    """The shown controls without a name: everything shown but the window,
    containers that hold shown objects, and labels that show no text."""
    return [e for e in tree[1:] if not e['name'] and e['role'] != 'label'
            and not (e['role'] in CONTAINERS and e['children'])]


def count(window_kind, tree, where):
    missing = unnamed(tree)
    counts[window_kind] = max(counts.get(window_kind, 0), len(missing))
    if missing:
        roles = collections.Counter(e['role'] for e in missing)
        fail('%s (%s): %d shown controls without a name (%s)'
             % (window_kind, where, len(missing), ', '.join('%s %d' % kv for kv in sorted(roles.items()))))


def press(node):
    # A tool button acts before it answers, and Evaluate answers only when
    # the modal results window closes: the answer is not waited for.
    if node is None:
        return
    Atspi.set_timeout(500, -1)
    try:
        node.queryAction().doAction(0)
    except GLib.GError:
        pass
    finally:
        Atspi.set_timeout(25000, -1)


def windows(app):
    try:
        return [w for w in app if w is not None and state(w, pyatspi.STATE_SHOWING)]
    except GLib.GError:
        return []


def window(app, name, exact=True):
    return wait_for(lambda: next((w for w in windows(app)
                                  if (w.name == name if exact else w.name.startswith(name))), None),
                    'the window "%s"' % name)


def expected_results(setup):
    """The evaluator's switch positions, sorted as (bank, number, state), and its summary."""
    report = json.loads(subprocess.run([EVALUATOR, '--json', setup], check=True, capture_output=True, text=True).stdout)
    switches = sorted((bank, position, 'on' if bit == '1' else 'off') for bank in range(1, 5)
                      for position, bit in enumerate(report['switches']['S%d' % bank], start=1))
    return switches, report['summary']


def check_main(app, where):
    main = window(app, 'Halvex Switch Setup', exact=False)
    if main is None:
        return None
    # The splash screen closes by itself.
    wait_for(lambda: not any(w.name.endswith('Splash Screen') for w in windows(app)), 'the splash screen to close')
    tree = walk(main)
    count('main', tree, where)
    for e in tree:
        if e['name'] not in NAMES.get(e['role'], {e['name']}):
            fail('%s: a %s is called "%s"' % (where, e['role'], e['name']))
    buttons = [e['name'] for e in tree if e['role'] == 'push button']
    if buttons != TOOL_BAR:
        fail('%s: the tool bar buttons are called %s' % (where, buttons))
    return tree


def button(tree, name):
    found = next((e['node'] for e in tree if e['role'] == 'push button' and e['name'] == name), None)
    if found is None:
        fail('no button "%s"' % name)
    return found


def text_of(node):
    try:
        text = node.queryText()
    except NotImplementedError:
        return None
    # A screen reader reads on from the caret, which stands at the start, and
    # nothing is selected.
    if text.caretOffset != 0 or text.getNSelections() != 0:
        fail('the list "%s" has its caret at %d, %d selections' % (node.name, text.caretOffset, text.getNSelections()))
    return text.getText(0, -1)


def check_results(app, tree, setup):
    where = os.path.basename(setup)
    switches, summary = expected_results(setup)
    lines = [v for v in summary.values() if v]
    # Each list reads out its chosen item, which the summary names.
    for e in tree:
        if e['role'] == 'combo box':
            value = text_of(e['node'])
            if not value or value not in ' '.join(lines):
                fail('%s: the list "%s" reads out "%s"' % (where, e['name'], value))
    press(button(tree, 'Evaluate'))
    results = window(app, 'Results')
    if results is None:
        return
    pump(0.3)
    rtree = walk(results)
    count('results', rtree, where)
    # Each shown position once, S4 only with a second output.
    told = sorted((int(m[1]), int(m[2]), m[3]) for m in (SWITCH.match(e['name']) for e in rtree) if m)
    wanted = [s for s in switches if s[0] <= (4 if summary['output2'] else 3)]
    if told != wanted:
        fail('%s: %d switch positions told, %d expected; differing: %s'
             % (where, len(told), len(wanted), sorted(set(wanted) ^ set(told))[:6]))
    texts = {e['name'] for e in rtree if e['role'] == 'label'}
    for line in lines:
        if line not in texts:
            fail('%s: summary line "%s" not read' % (where, line))
    press(button(rtree, 'Back'))
    wait_for(lambda: not any(w.name == 'Results' for w in windows(app)), 'the results window to close')


def heard_during(event, act, what, role=None):
    """The names of the objects (of role, if given) whose event turned on
    while act ran, waited for."""
    heard = []

    def listener(e):
        try:
            if e.detail1 and (role is None or e.source.getRoleName() == role):
                heard.append(e.source.name)
        except GLib.GError:
            pass

    pyatspi.Registry.registerEventListener(listener, event)
    try:
        act()
        wait_for(lambda: heard, what)
    finally:
        pyatspi.Registry.deregisterEventListener(listener, event)
    return heard


def announced_during(act, what):
    """The notifications (name, name of the object that holds them) that
    came into view while act ran, waited for: a screen reader reads each out
    as it comes."""
    heard = []

    def listener(e):
        try:
            if e.detail1 and e.source.getRoleName() == 'notification':
                parent = e.source.parent
                heard.append((e.source.name, parent.name if parent else ''))
        except GLib.GError:
            pass

    pyatspi.Registry.registerEventListener(listener, 'object:state-changed:showing')
    try:
        act()
        wait_for(lambda: heard, what)
        pump(0.2)
    finally:
        pyatspi.Registry.deregisterEventListener(listener, 'object:state-changed:showing')
    return heard


def key(name):
    subprocess.run(['xdotool', 'key', name], check=True)


def check_list_change(tree):
    # A closed list changed with the arrow keys while it has the focus
    # announces its new item, held by the list.
    box = next((e['node'] for e in tree if e['role'] == 'combo box' and e['name'] == 'Input type'), None)
    if box is None:
        fail('no list "Input type"')
        return
    # The window takes the keyboard as a window manager would give it.
    subprocess.run(['xdotool', 'search', '--onlyvisible', '--name', '^Halvex Switch Setup', 'windowfocus', '%1'],
                   check=True)
    box.queryComponent().grabFocus()
    # The first key may come before the window has taken the keyboard.
    wait_for(lambda: key('Down') or pump(0.3) or text_of(box), 'Down to choose an input type')
    for _ in range(2):
        heard = announced_during(lambda: key('Down'), 'the new item of "Input type" to be announced')
        item = text_of(box)
        if heard != [(item, 'Input type')]:
            fail('Down on "Input type" (now "%s") announced %s' % (item, heard))


def check_announcement(tree):
    # Nothing chosen: Evaluate's message is announced.
    heard = heard_during('object:state-changed:showing', lambda: press(button(tree, 'Evaluate')),
                         "Evaluate's message to be announced", 'notification')
    if heard and heard[0] != 'Please select input type':
        fail('announced "%s"' % heard[0])


def check_read_switches(app, tree):
    press(button(tree, 'Read Switches'))
    form = window(app, 'Read Switches')
    if form is None:
        return
    pump(0.3)
    rtree = walk(form)
    count('Read Switches', rtree, 'no setup')
    switches = [e for e in rtree if SWITCH.match(e['name'])]
    roles = {e['role'] for e in switches}
    if len({e['name'] for e in switches}) != 48 or roles != {'check box'}:
        fail('Read Switches: %d switches with roles %s' % (len(switches), sorted(roles)))
    box = next((e['node'] for e in switches if e['name'] == 'S1 switch 3, off'), None)
    if box is None:
        return
    if state(box, pyatspi.STATE_CHECKED):
        fail('Read Switches: S1 switch 3 is off but checked')
    action = box.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if 'Toggle' not in names:
        fail('Read Switches: a switch has the actions %s' % names)
        return
    # The toggle is announced as the check box's state, and the window's
    # status after it as a notification that reads as the window shows it.
    said = []
    heard_during('object:state-changed:checked',
                 lambda: said.extend(announced_during(lambda: action.doAction(names.index('Toggle')),
                                                      'the status after a toggle to be announced')),
                 'the checked state to be announced')
    wait_for(lambda: state(box, pyatspi.STATE_CHECKED) and box.name == 'S1 switch 3, on',
             'S1 switch 3 to be checked and named on')
    check_status_read(form, said, 'a toggle')
    compare = button(walk(form), 'Compare With Current Setup')
    if compare is not None:
        said = announced_during(lambda: compare.queryAction().doAction(0), "Compare's result to be announced")
        check_status_read(form, said, 'Compare')


def check_status_read(form, said, after):
    # Each announcement is a status line the window shows, or begins with one.
    labels = [e['name'] for e in walk(form) if e['role'] == 'label' and e['name']]
    if len(said) != 1 or not any(said[0][0].startswith(text) for text in labels):
        fail('after %s: announced %s, not a status line of the window' % (after, said))


def check_plant(app):
    plant = window(app, 'Plant - ', exact=False)
    if plant is None:
        return
    pump(0.3)
    tree = walk(plant)
    count('plant', tree, 'plant.csv')
    headers = [e['name'] for e in tree if e['role'] == 'table column header']
    if headers != PLANT_HEADERS:
        fail('plant: the column headers are called %s' % headers)
    if not any(e['role'] == 'text' and e['name'] == 'Find' for e in tree):
        fail('plant: no text field called "Find"')


def application(process):
    def pid(app):
        try:
            return app.get_process_id()
        except GLib.GError:  # an earlier run's program, gone
            return None
    desktop = pyatspi.Registry.getDesktop(0)
    return wait_for(lambda: next((a for a in desktop if a is not None and pid(a) == process.pid), None),
                    'the program on the accessibility bus')


def run(setup, what):
    args = [os.path.join(EXAMPLES, setup)] if setup else []
    where = setup or 'no setup'
    process = subprocess.Popen([PROGRAM] + args)
    try:
        app = application(process)
        if app is None:
            return
        tree = check_main(app, where)
        if tree is None:
            return
        if what == 'results':
            check_results(app, tree, args[0])
        elif what == 'plant':
            check_plant(app)
        else:
            check_announcement(tree)
            check_list_change(tree)
            check_read_switches(app, tree)
    finally:
        process.terminate()
        process.wait()


def main():
    # Asks for the accessibility bus first, so that it runs before the program
    # looks for it.
    pyatspi.Registry.getDesktop(0)
    for setup, what in SCENARIOS:
        run(setup, what)
    print('shown controls without a name: ' + ', '.join('%s %d' % kv for kv in counts.items()), flush=True)
    if failures:
        print('%d checks failed' % len(failures))
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
