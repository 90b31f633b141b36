// The award board: follows the desk's changes over server-sent events and fetches only
// what changed. Every text goes in through textContent: nothing from the meet is markup.
"use strict";

(function () {
    const labels = {
        incomplete: "未完了",
        ready: "準備完了",
        printing: "印刷中",
        printed: "印刷済",
        failed: "失敗",
    };
    let shownVersion = -1;
    let loading = null;
    let again = false;
    const lists = new Map(); // race → the list's JSON text shown
    const rows = new Map(); // race → <li>

    function element(tag, className, text) {
        const node = document.createElement(tag);
        if (className) node.className = className;
        if (text !== undefined) node.textContent = text;
        return node;
    }

    function fetchJson(path) {
        return fetch(path, { cache: "no-store" }).then(function (response) {
            if (!response.ok) throw new Error(path + ": " + response.status);
            return response.json();
        });
    }

    function badgeText(event) {
        if (event.state === "printed" && event.time) return labels.printed + " " + event.time;
        return labels[event.state] || event.state;
    }

    function entryRow(entry) {
        const row = element("tr");
        row.appendChild(element("td", "rank", entry.rank));
        const who = element("td", "who");
        who.appendChild(element("span", "name", entry.name || entry.affiliation));
        const place = entry.name ? [entry.affiliation, entry.prefecture] : [entry.prefecture];
        const sub = place.filter(Boolean).join("　");
        if (sub) who.appendChild(element("span", "sub", sub));
        if (entry.legs && entry.legs.length) {
            const legs = element("ol", "legs");
            legs.setAttribute("role", "list");
            entry.legs.forEach(function (leg) { legs.appendChild(element("li", "", leg)); });
            who.appendChild(legs);
        }
        row.appendChild(who);
        const result = element("td", "result", entry.result);
        if (entry.mark) result.appendChild(element("span", "mark sub", entry.mark));
        row.appendChild(result);
        return row;
    }

    function listBlock(list) {
        const block = element("div", "ceremony");
        list.groups.forEach(function (group) {
            if (group.heading) block.appendChild(element("h3", "group-heading", group.heading));
            const table = element("table", "list");
            const body = element("tbody");
            group.entries.forEach(function (entry) { body.appendChild(entryRow(entry)); });
            table.appendChild(body);
            block.appendChild(table);
        });
        return block;
    }

    function showList(race, list) {
        const row = rows.get(race);
        if (!row) return;
        const old = row.querySelector(".ceremony");
        if (old) old.remove();
        if (list) row.appendChild(listBlock(list));
    }

    function loadList(race) {
        return fetchJson("/board/event/" + race + ".json").then(function (list) {
            const text = JSON.stringify(list);
            if (lists.get(race) === text) return;
            lists.set(race, text);
            showList(race, list);
        }).catch(function () { /* tried again with the next change */ });
    }

    function eventRow(event) {
        const row = element("li", "event " + event.state);
        row.id = "event-" + event.race;
        row.dataset.state = event.state;
        const head = element("div", "event-head");
        head.appendChild(element("span", "event-title", event.title));
        head.appendChild(element("span", "badge " + event.state, badgeText(event)));
        if (event.state === "failed" && event.why) head.appendChild(element("span", "why", event.why));
        row.appendChild(head);
        return row;
    }

    function showBoard(board, changed) {
        document.getElementById("meet").textContent = board.meet || "";
        const trouble = document.getElementById("trouble");
        trouble.textContent = board.trouble || "";
        trouble.hidden = !board.trouble;
        const list = document.getElementById("events");
        const seen = new Set();
        const fetches = [];
        board.events.forEach(function (event) {
            seen.add(event.race);
            const old = rows.get(event.race);
            const row = eventRow(event);
            if (old) {
                const ceremony = old.querySelector(".ceremony");
                if (ceremony && event.list) row.appendChild(ceremony);
                old.replaceWith(row);
            }
            rows.set(event.race, row);
            list.appendChild(row); // keeps race order; moves an existing row in place
            if (!event.list) {
                lists.delete(event.race);
            } else if (!lists.has(event.race) || changed.has(event.race)) {
                fetches.push(loadList(event.race));
            }
        });
        rows.forEach(function (row, race) {
            if (!seen.has(race)) {
                row.remove();
                rows.delete(race);
                lists.delete(race);
            }
        });
        document.getElementById("empty").hidden = board.events.length > 0;
        return Promise.all(fetches);
    }

    // One load at a time; a change told meanwhile makes one more after it.
    function refresh(changed) {
        if (loading) {
            again = true;
            changed.forEach(function (race) { pending.add(race); });
            return;
        }
        loading = fetchJson("/board.json").then(function (board) {
            shownVersion = board.version;
            return showBoard(board, changed);
        }).catch(function () {
            setLink("lost", "読み込めません。再試行します…");
        }).then(function () {
            loading = null;
            document.body.dataset.version = String(shownVersion);
            if (again) {
                again = false;
                const next = new Set(pending);
                pending.clear();
                refresh(next);
            }
        });
    }
    const pending = new Set();

    function setLink(state, text) {
        const link = document.getElementById("link");
        link.dataset.state = state;
        link.textContent = text;
    }

    function connect() {
        const source = new EventSource("/events");
        source.onopen = function () {
            setLink("live", "自動更新中");
            refresh(new Set()); // whatever changed while away
        };
        source.onmessage = function (message) {
            let notice;
            try { notice = JSON.parse(message.data); } catch (e) { return; }
            if (typeof notice.version !== "number" || notice.version === shownVersion) return;
            refresh(new Set(notice.events || []));
        };
        source.onerror = function () {
            setLink("lost", "接続が切れました。再接続中…");
            if (source.readyState === EventSource.CLOSED) {
                // The browser gave up (the server answered with an error): try again later.
                setTimeout(connect, 3000);
            }
        };
    }

    document.addEventListener("DOMContentLoaded", function () {
        refresh(new Set());
        connect();
    });
})();
