# The events and replies each element got, counted: one line an element.
# Input: output lines (slurped) of pphost or tallwick-shell; both write what
# an instance posts as {"kind":"post","id":...,"msg":{...}}.
[.[] | select(.kind == "post") |
 {id, command: (.msg.command // (if .msg.response then "reply to \(.msg.response)" else "?" end))}] |
group_by(.id)[] |
"\(.[0].id): " + (group_by(.command) | map("\(.[0].command) x\(length)") | join(", "))
